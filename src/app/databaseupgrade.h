#pragma once

#include <QString>

class DataModule;

// Brings a database of the previous structure (no districts, short report file names, no
// extended person names) to the current one. All statements run in one transaction: a failure
// leaves the database as it was, so the next login offers the upgrade again.
class DatabaseUpgrade
{
public:
    explicit DatabaseUpgrade(DataModule &data) : m_data(data) {}

    // addPersonNames: jel_tete had no SZUL_DAT, so the name fields are added too.
    bool run(bool addPersonNames);
    QString lastError() const { return m_error; }

private:
    bool execute(const QStringList &lines);
    DataModule &m_data;
    QString m_error;
};
