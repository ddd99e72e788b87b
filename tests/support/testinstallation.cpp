#include "testinstallation.h"

#include "demodata.h"
#include "referenceloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace
{
const QString AdminConnection = QStringLiteral("tarvik_test_server_admin");

// Runs one statement on the test server's first database.
bool onServerAdmin(const QString &sql, QString *error)
{
    if (!QSqlDatabase::contains(AdminConnection) &&
        !DataModule::openServer(AdminConnection, TestInstallation::testServer(), false, error))
        return false;
    QSqlQuery q(QSqlDatabase::database(AdminConnection, false));
    if (q.exec(sql)) return true;
    if (error) *error = q.lastError().text();
    return false;
}
} // namespace

QString TestInstallation::testServer()
{
    if (qEnvironmentVariable("TARVIK_TEST_STORE") != u"server") return {};
    // A run meant for the server that has none fails: it never passes on SQLite instead.
    const QString server = qEnvironmentVariable("TARVIK_TEST_SERVER");
    return server.isEmpty() ? QStringLiteral("postgresql://nincs-megadva/TARVIK_TEST_SERVER")
                            : server;
}

QString TestInstallation::newServerDatabase(QString *error)
{
    static std::atomic<int> counter{0};
    const QString name =
        QStringLiteral("tarvik_teszt_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter++);
    onServerAdmin(QStringLiteral("drop database if exists ") + name, nullptr);
    if (!onServerAdmin(QStringLiteral("create database ") + name, error)) return {};
    m_databases << name;
    QUrl url(testServer());
    url.setPath(u'/' + name);
    return url.toString();
}

TestInstallation::TestInstallation(Content content, const QString &adminPassword)
{
    qputenv("TARVIK_SETTINGS_DIR", settingsFolder().toLocal8Bit());
    Installation installation(home());
    if (!testServer().isEmpty()) {
        m_address = newServerDatabase(&m_error);
        if (m_address.isEmpty()) return;
        m_database = m_databases.last();
        bool existed = false;
        if (!installation.createOnServer(
                m_address, [&] { return adminPassword; }, &existed, &m_error))
            return;
    } else if (!installation.create(adminPassword, &m_error)) {
        return;
    }
    // No test reaches out to the internet: the update site is a closed local port, which
    // refuses at once.
    QFile url(installation.urlFile());
    if (!url.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    url.write("[InternetShortcut]\r\nURL=http://127.0.0.1:9/\r\n");
    url.close();
    m_context = std::unique_ptr<AppContext>(new AppContext{installation, {}, {}});
    if (!m_context->data.connect(installation.dataFolder(), &m_error)) return;
    if (content != Empty) {
        const auto r = ReferenceLoader(m_context->data).loadBundled();
        if (!r.ok) {
            m_error = r.error;
            return;
        }
    }
    if (content == WithDemoData && !DemoData::add(m_context->data, &m_error)) return;
    m_ok = true;
}

TestInstallation::~TestInstallation()
{
    m_context.reset();
    qunsetenv("TARVIK_SETTINGS_DIR");
    for (const QString &name : m_databases)
        onServerAdmin(QStringLiteral("drop database if exists %1 with (force)").arg(name), nullptr);
}

QString TestInstallation::path(const QString &relative) const
{
    return QDir(home()).filePath(relative);
}

QString TestInstallation::writeFile(const QString &name, const QByteArray &content) const
{
    const QString file = m_dir.filePath(name);
    QFile out(file);
    if (out.open(QIODevice::WriteOnly)) out.write(content);
    return file;
}

QVariant TestInstallation::scalar(const QString &sql)
{
    QSqlQuery q(m_context->data.db());
    // The checks join values with SQLite's group_concat; the server says string_agg.
    QString text = sql;
    if (onServer()) {
        static const QRegularExpression oneArgument(QStringLiteral("group_concat\\(([^,()]+)\\)"));
        text.replace(oneArgument, QStringLiteral("string_agg(\\1, ',')"));
        text.replace(QStringLiteral("group_concat("), QStringLiteral("string_agg("));
        // and wants a name for a select in a from.
        if (text.contains(QStringLiteral("from (select")) && text.trimmed().endsWith(u')'))
            text += QStringLiteral(" as sub");
    }
    if (!q.exec(text) || !q.next()) return {};
    // A truth reads as SQLite gives it.
    if (q.value(0).typeId() == QMetaType::Bool) return q.value(0).toBool() ? 1 : 0;
    return q.value(0);
}
