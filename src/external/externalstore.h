#pragma once

#include "externalfile.h"

#include <QVariantMap>

#include <optional>

class DataModule;

// The SQL of the external reports: the lookups of the checks, the employer of a file, its
// recording and refresh, and the pending lines a file is taken in through.
class ExternalStore
{
public:
    explicit ExternalStore(DataModule &data) : m_data(data) {}

    // Whether a report of this type, number, tax number and district was read in before.
    std::optional<bool> alreadyRead(const QString &fileName);
    // The settlement of a postcode of weight 0; empty when there is none.
    std::optional<QString> settlement(const QString &postcode);
    // The employer row of a tax number and district; an empty map when there is none.
    std::optional<QVariantMap> employer(const QString &tax, const QString &district);
    ExternalFile::Lookups lookups();

    // Records the employer of the header line; the file name gives its district.
    bool recordEmployer(const ExternalFile::Report &report, QString *error);
    // "Adatok mentése": the register side of the window into the employer's row.
    bool updateEmployer(int id, const QVariantMap &values, QString *error);

private:
    bool insertEmployer(const ExternalFile::Report &report, QString *error);

    DataModule &m_data;
};
