#include "updatesite.h"

#include "stagedfile.h"

#include <QCoreApplication>
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

QString checkAtStart(const QString &site, const QString &version, int processorArchitecture,
                     const QString &programFolder)
{
    if (site.isEmpty()) return {};
    const QString name = startInstallerName(version, is64Bit(processorArchitecture));
    const QString local = QDir(programFolder).filePath(name);
    return fetch(site + name, local, StartLimitMs, StartLimitMs).ok ? local : QString();
}

Download fetch(const QString &address, const QString &file, int idleLimitMs, int totalLimitMs)
{
    Download d;
    if (!isFollowed(address)) {
        d.error = QStringLiteral("nem http vagy https cím: ") + address;
        return d;
    }
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network.get(request);
    QEventLoop loop;
    QTimer idle, total;
    idle.setSingleShot(true);
    total.setSingleShot(true);
    bool timedOut = false;
    auto giveUp = [&] {
        timedOut = true;
        reply->abort();
    };
    QObject::connect(&idle, &QTimer::timeout, &loop, giveUp);
    QObject::connect(&total, &QTimer::timeout, &loop, giveUp);
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&] { idle.start(); });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    idle.start(idleLimitMs);
    if (totalLimitMs > 0) total.start(totalLimitMs);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray body = reply->readAll();
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (timedOut)
        d.error = QStringLiteral("a kiszolgáló nem válaszolt időben");
    else if (reply->error() != QNetworkReply::NoError)
        d.error = reply->errorString();
    else if (status < 200 || status > 299)
        d.error = QStringLiteral("a kiszolgáló válasza: %1").arg(status);
    else if (announced > 0 && body.size() != announced)
        d.error = QStringLiteral("a letöltés megszakadt");
    reply->deleteLater();
    if (!d.error.isEmpty()) return d;

    const QFileInfo target(file);
    StagedFile staged;
    if (!staged.write(target.absolutePath(), target.fileName(), body, &d.error) ||
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
    void startAndQuit(const QString &file) override
    {
        QDesktopServices::openUrl(QUrl::fromLocalFile(file));
        // Ends the program once its event loop runs, also when asked before it started.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
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
