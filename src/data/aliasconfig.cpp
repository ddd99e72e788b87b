#include "aliasconfig.h"

#include "registrydatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

AliasConfig::AliasConfig() : AliasConfig(SettingsLocation::aliasFile()) {}

AliasConfig::AliasConfig(const QString &file) : m_file(file)
{
    if (!QFileInfo::exists(m_file)) return;
    QSettings ini(m_file, QSettings::IniFormat);
    for (const QString &group : ini.childGroups()) {
        ini.beginGroup(group);
        m_entries.push_back({group, ini.value(QStringLiteral("DRIVER")).toString(),
                             ini.value(QStringLiteral("PATH")).toString()});
        ini.endGroup();
    }
}

bool AliasConfig::exists(const QString &alias) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(alias, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString AliasConfig::path(const QString &alias) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(alias, Qt::CaseInsensitive) == 0) return e.path;
    return {};
}

QString AliasConfig::driver(const QString &alias) const
{
    for (const Entry &e : m_entries)
        if (e.name.compare(alias, Qt::CaseInsensitive) == 0) return e.driver;
    return {};
}

void AliasConfig::create(const QString &alias, const QString &driver, const QString &path)
{
    for (Entry &e : m_entries)
        if (e.name.compare(alias, Qt::CaseInsensitive) == 0) {
            e.driver = driver;
            e.path = path;
            return;
        }
    m_entries.push_back({alias, driver, path});
}

bool AliasConfig::save()
{
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    QSettings ini(m_file, QSettings::IniFormat);
    ini.clear();
    for (const Entry &e : m_entries) {
        ini.beginGroup(e.name);
        ini.setValue(QStringLiteral("DRIVER"), e.driver);
        ini.setValue(QStringLiteral("PATH"), e.path);
        ini.endGroup();
    }
    ini.sync();
    return ini.status() == QSettings::NoError;
}
