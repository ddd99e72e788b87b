#include "updatesite.h"

#include "releasesignature.h"
#include "stagedfile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

namespace UpdateSite
{

QString readUrlFile(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QString url;
    while (!in.atEnd()) {
        const QString line = QString::fromLocal8Bit(in.readLine()).remove(u'\r').remove(u'\n');
        if (line.startsWith(QStringLiteral("URL"))) url = line.mid(4).trimmed().left(50);
    }
    return isFollowed(url) ? url : QString();
}

bool isFollowed(const QString &address)
{
    const QUrl url(address);
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == u"http" || url.scheme() == u"https");
}

namespace
{
// The digits of "1.0.4.3"; a part that is missing counts as 0.
QList<int> parts(const QString &version)
{
    QList<int> p;
    for (const QString &s : version.split(u'.'))
        p << s.toInt();
    while (p.size() < 4)
        p << 0;
    return p;
}

QString ending(bool x64)
{
    return x64 ? QStringLiteral("_x64.exe") : QStringLiteral(".exe");
}
} // namespace

QString startInstallerName(const QString &version, bool x64)
{
    const QList<int> p = parts(version);
    return QStringLiteral("frissit_") + QString::number(p[0]) + QString::number(p[1]) +
           QString::number(p[2] * 10 + p[3] + 1) + ending(x64);
}

QString windowInstallerName(const QString &digits, bool x64)
{
    return QStringLiteral("frissit_") + digits + ending(x64);
}

bool is64Bit(int processorArchitecture)
{
    return processorArchitecture == 6 || processorArchitecture == 9;
}

StartCheck checkAtStart(const QString &site, const QString &version, int processorArchitecture,
                        const QString &programFolder)
{
    StartCheck c;
    if (site.isEmpty()) return c;
    const QString name = startInstallerName(version, is64Bit(processorArchitecture));
    const QString local = QDir(programFolder).filePath(name);
    const Download d = fetch(site + name, local, Limits{});
    if (d.ok) c.installer = local;
    c.unverified = d.unverified;
    return c;
}

QString unverifiedMessage(const QString &file, bool installer)
{
    return installer
               ? QStringLiteral("A letöltött frissítés (%1) aláírása nem ellenőrizhető, ezért a "
                                "program nem indította el, és törölte.")
                     .arg(QDir::toNativeSeparators(file))
               : QStringLiteral("A letöltött fájl (%1) aláírása nem ellenőrizhető, ezért a "
                                "program törölte.")
                     .arg(QDir::toNativeSeparators(file));
}

QString installerNotStarted(const QString &file)
{
    return QStringLiteral("A frissítés nem indítható el: %1\n\rA program tovább fut, a "
                          "telepítőt kézzel is elindíthatja.")
        .arg(QDir::toNativeSeparators(file));
}

namespace
{
struct Body {
    QByteArray bytes;
    QString error; // empty when the whole body arrived with a success status
};

Body get(const QString &address, const Limits &limits, const QDeadlineTimer &deadline,
         qint64 maxBytes, bool *stopped)
{
    Body b;
    if (deadline.hasExpired()) {
        b.error = QStringLiteral("a kiszolgáló nem válaszolt időben");
        return b;
    }
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(address)};
    // An https site is never left for plain http.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network.get(request);
    QEventLoop loop;
    QTimer idle, total, watch;
    idle.setSingleShot(true);
    total.setSingleShot(true);
    bool timedOut = false, tooLarge = false;
    auto giveUp = [&] {
        timedOut = true;
        reply->abort();
    };
    QObject::connect(&idle, &QTimer::timeout, &loop, giveUp);
    QObject::connect(&total, &QTimer::timeout, &loop, giveUp);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                     [&](qint64 received, qint64 announced) {
                         // Given up at once when more is coming than a file of its kind has.
                         if (received > maxBytes || announced > maxBytes) {
                             tooLarge = true;
                             reply->abort();
                             return;
                         }
                         idle.start();
                     });
    // The window's stop button is looked at while the download runs.
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (limits.stop && *limits.stop && !*stopped) {
            *stopped = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start(limits.idleMs);
    total.start(int(qMax<qint64>(1, deadline.remainingTime())));
    if (limits.stop) watch.start(50);
    if (!reply->isFinished())
        loop.exec(limits.keepInput ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    b.bytes = reply->readAll();
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (*stopped)
        b.error = QStringLiteral("a letöltést leállították");
    else if (tooLarge)
        b.error = QStringLiteral("a fájl nagyobb, mint amekkora lehet");
    else if (timedOut)
        b.error = QStringLiteral("a kiszolgáló nem válaszolt időben");
    else if (reply->error() != QNetworkReply::NoError)
        b.error = reply->errorString();
    else if (status < 200 || status > 299)
        b.error = QStringLiteral("a kiszolgáló válasza: %1").arg(status);
    else if (announced > 0 && b.bytes.size() != announced)
        b.error = QStringLiteral("a letöltés megszakadt");
    if (!b.error.isEmpty()) b.bytes.clear();
    reply->deleteLater();
    return b;
}
} // namespace

Download fetch(const QString &address, const QString &file, int idleLimitMs, int totalLimitMs)
{
    Limits limits;
    limits.idleMs = idleLimitMs;
    limits.totalMs = totalLimitMs > 0 ? totalLimitMs : WindowLimitMs;
    return fetch(address, file, limits);
}

Download fetch(const QString &address, const QString &file, const Limits &limits)
{
    Download d;
    if (!isFollowed(address)) {
        d.error = QStringLiteral("nem http vagy https cím: ") + address;
        return d;
    }
    // One limit for the file and its signature together.
    const QDeadlineTimer deadline(limits.totalMs);
    const Body body = get(address, limits, deadline, limits.maxBytes, &d.stopped);
    if (!body.error.isEmpty()) {
        d.error = body.error;
        return d;
    }
    // Something arrived: it is kept only when signed by the release key, for this file.
    const Body signature = get(ReleaseSignature::signatureAddress(address), limits, deadline,
                               SignatureMaxBytes, &d.stopped);
    if (d.stopped) {
        d.error = signature.error;
        return d;
    }
    QString why;
    if (!signature.error.isEmpty())
        why = QStringLiteral("az aláírás nem tölthető le: ") + signature.error;
    else
        ReleaseSignature::verify(body.bytes, signature.bytes,
                                 QFileInfo(QUrl(address).path()).fileName(), &why);
    if (!why.isEmpty()) {
        QFile::remove(file);
        d.unverified = true;
        d.error = why;
        return d;
    }

    const QFileInfo target(file);
    StagedFile staged;
    if (!staged.write(target.absolutePath(), target.fileName(), body.bytes, &d.error) ||
        !staged.place(&d.error))
        return d;
    staged.keep();
    d.ok = true;
    return d;
}

} // namespace UpdateSite

namespace
{
class RealLauncher : public Launcher
{
public:
    bool startAndQuit(const QString &file) override
    {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file))) return false;
        // Ends the program once its event loop runs, also when asked before it started.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
        return true;
    }
};

Launcher *installed = nullptr;
} // namespace

Launcher &Launcher::instance()
{
    static RealLauncher real;
    return installed ? *installed : real;
}

void Launcher::install(Launcher *launcher)
{
    installed = launcher;
}
