#include "testinstallation.h"

#include "demodata.h"
#include "referenceloader.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>

TestInstallation::TestInstallation(Content content, const QString &adminPassword)
{
    qputenv("TARVIK_SETTINGS_DIR", settingsFolder().toLocal8Bit());
    Installation installation(home());
    if (!installation.create(adminPassword, &m_error)) return;
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
    if (!q.exec(sql) || !q.next()) return {};
    return q.value(0);
}
