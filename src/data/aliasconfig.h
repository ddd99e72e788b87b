#pragma once

#include <QList>
#include <QString>

// The engine configuration: named aliases, each with a driver and a PATH parameter.
// Kept in a small file beside the settings.
class AliasConfig
{
public:
    AliasConfig();
    explicit AliasConfig(const QString &file);

    bool exists(const QString &alias) const;
    QString path(const QString &alias) const;
    QString driver(const QString &alias) const;
    // Adds or replaces the alias in memory; save() writes the configuration.
    void create(const QString &alias, const QString &driver, const QString &path);
    bool save();

private:
    struct Entry {
        QString name, driver, path;
    };
    QString m_file;
    QList<Entry> m_entries;
};
