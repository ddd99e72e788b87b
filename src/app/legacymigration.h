#pragma once

#include <QString>
#include <QStringList>

class DataModule;
class Installation;

// Takes over an older installation: the Paradox tables of its adatok folder (and adatok/Ment)
// moved into a new installation in one transaction, field by field as their names match, the
// older structure brought to the current one as the upgrade would, passwords made digests.
class LegacyMigration
{
public:
    LegacyMigration(DataModule &data, const Installation &installation)
        : m_data(data), m_installation(installation)
    {
    }

    struct Result {
        bool ok = false;
        QStringList lines; // per table: rows read and written, what was skipped or missing
        QString error;     // why nothing was taken over
    };
    Result run(const QString &oldFolder);

private:
    DataModule &m_data;
    const Installation &m_installation;
};
