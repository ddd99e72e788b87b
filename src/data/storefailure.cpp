#include "storefailure.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace StoreFailure
{

namespace
{
QMutex logLock;
QString logFile;

// libpq's words for a connection that is gone or was never made.
bool connectionLost(const QString &t)
{
    for (const char *words :
         {"server closed the connection", "no connection to the server", "terminating connection",
          "could not connect", "connection refused", "could not receive data",
          "could not send data", "timeout expired", "connection to server", "connection not open",
          "database not open", "could not translate host name"})
        if (t.contains(QLatin1String(words), Qt::CaseInsensitive)) return true;
    return false;
}
} // namespace

QString lostText()
{
    return QStringLiteral("megszakadt a kapcsolat az adatbázis-kiszolgálóval");
}

QString busyText()
{
    return QStringLiteral("Egy másik munkatárs éppen ennek a bejelentőnek a jelentésein dolgozik "
                          "(%1 másodperce); semmi sem változott, próbálja újra kicsit később.")
        .arg(LockWaitSeconds);
}

QString text(const QSqlError &error)
{
    const QString raw = error.text().trimmed();
    // A server names its failures by a five-character SQL state; SQLite by a small number.
    const QString state = error.nativeErrorCode().size() == 5 ? error.nativeErrorCode() : QString();
    if (state.isEmpty() && !connectionLost(raw)) return raw;
    log(raw + (state.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(state)));
    if (state == u"55P03") return busyText();
    // A rule of the database itself (a trigger's exception) speaks its own words.
    if (state == u"P0001") {
        QString own = error.databaseText().section(u'\n', 0, 0);
        own.remove(QStringLiteral("ERROR:"));
        return own.trimmed();
    }
    if (state.startsWith(u"08") || state.startsWith(u"57P") || connectionLost(raw))
        return lostText();
    if (state == u"42501")
        return QStringLiteral("nincs jogosultsága ehhez a művelethez az adatbázis-kiszolgálón");
    if (state.startsWith(u"28"))
        return QStringLiteral("az adatbázis-kiszolgáló nem fogadta el a bejelentkezést");
    if (state == u"57014") return QStringLiteral("az adatbázis-kiszolgáló nem válaszolt időben");
    // A table or a field the database lacks is named.
    if (state == u"42P01" || state == u"42703") {
        static const QRegularExpression quoted(QStringLiteral("\"([^\"]+)\""));
        const QString name = quoted.match(raw).captured(1);
        return (state == u"42P01" ? QStringLiteral("hiányzik a(z) %1 tábla")
                                  : QStringLiteral("hiányzik a(z) %1 mező"))
            .arg(name);
    }
    if (state == u"23505")
        return QStringLiteral("egy másik munkatárs közben ugyanezt az adatot rögzítette");
    if (state == u"23502") return QStringLiteral("egy kötelező adat hiányzik");
    if (state.startsWith(u"53"))
        return QStringLiteral("az adatbázis-kiszolgáló túlterhelt vagy betelt a tárhelye");
    return QStringLiteral("az adatbázis-kiszolgáló hibát jelzett (%1)")
        .arg(state.isEmpty() ? QStringLiteral("?") : state);
}

QString connectText(const QString &libpqText)
{
    const QString raw = libpqText.trimmed();
    log(raw);
    if (raw.contains(QLatin1String("password"), Qt::CaseInsensitive) ||
        raw.contains(QLatin1String("authentication"), Qt::CaseInsensitive))
        return QStringLiteral("a kiszolgáló nem fogadta el a bejelentkezést (felhasználó vagy "
                              "jelszó)");
    if (raw.contains(QLatin1String("does not exist"), Qt::CaseInsensitive))
        return QStringLiteral("a kiszolgálón nincs ilyen adatbázis vagy felhasználó");
    if (raw.contains(QLatin1String("permission denied"), Qt::CaseInsensitive))
        return QStringLiteral("nincs jogosultság az adatbázishoz");
    if (raw.contains(QLatin1String("too many"), Qt::CaseInsensitive))
        return QStringLiteral("a kiszolgáló most nem fogad több kapcsolatot");
    return QStringLiteral("a kiszolgáló nem érhető el");
}

void setLogFolder(const QString &dataFolder)
{
    QMutexLocker locked(&logLock);
    logFile =
        dataFolder.isEmpty() ? QString() : QDir(dataFolder).filePath(QStringLiteral("tarvik.log"));
}

void log(const QString &text)
{
    QMutexLocker locked(&logLock);
    if (logFile.isEmpty()) return;
    QFile file(logFile);
    // A log that grew past a megabyte starts again.
    if (file.size() > (1 << 20)) file.remove();
    if (!file.open(QIODevice::Append | QIODevice::Text)) return;
    file.write(
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss ")).toUtf8() +
        text.toUtf8() + '\n');
}

namespace
{
// password=VALUE in the keyword form or among the parameters, the value quoted or bare.
const QRegularExpression &passwordWord()
{
    static const QRegularExpression re(
        QStringLiteral(R"((\bpassword\s*=\s*)('(?:[^'\\]|\\.)*'|[^\s&;]*))"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}
} // namespace

bool hasPassword(const QString &address)
{
    const QUrl url(address);
    if (url.isValid() && !url.password().isEmpty()) return true;
    // "user:pw@" also where the address is not a valid URL.
    static const QRegularExpression userInfo(QStringLiteral(R"(^[a-z]+://[^/@?]*:[^/@?]*@)"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (userInfo.match(address).hasMatch()) return true;
    return passwordWord().match(QUrl::fromPercentEncoding(address.toUtf8())).hasMatch() ||
           passwordWord().match(address).hasMatch();
}

QString shown(const QString &address)
{
    QString s = address;
    static const QRegularExpression userInfo(QStringLiteral(R"(^([a-z]+://[^/@?:]*):[^/@?]*@)"),
                                             QRegularExpression::CaseInsensitiveOption);
    s.replace(userInfo, QStringLiteral("\\1:****@"));
    if (s.contains(u'%')) {
        const QString decoded = QUrl::fromPercentEncoding(s.toUtf8());
        if (passwordWord().match(decoded).hasMatch()) s = decoded;
    }
    s.replace(passwordWord(), QStringLiteral("\\1****"));
    return s;
}

} // namespace StoreFailure
