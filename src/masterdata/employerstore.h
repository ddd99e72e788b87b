#pragma once

#include <QList>
#include <QPair>
#include <QSqlRecord>
#include <QString>
#include <QVariantMap>

#include <optional>

class DataModule;

// The employer register's work on the tables, without the window. Every operation reports
// failure by an empty optional or false; the window chooses the message.
class EmployerStore
{
public:
    explicit EmployerStore(DataModule &data) : m_data(data) {}

    using CodeName = QPair<QString, QString>; // code, name

    // All employers in name order.
    std::optional<QList<QSqlRecord>> employers();
    std::optional<QSqlRecord> employer(int id);

    // List contents: current district names in code order, funds and street types.
    std::optional<QList<CodeName>> districts();
    std::optional<QList<CodeName>> funds();
    std::optional<QList<CodeName>> streetTypes();
    // Number of rows of a reference table, by its count query.
    std::optional<int> count(const QString &sql);

    std::optional<bool> nameExists(const QString &name);
    std::optional<bool> taxNumberExists(const QString &taxNumber, const QString &name);
    // The settlements of a postcode as (weight, name) in weight order.
    std::optional<QList<CodeName>> settlements(const QString &postcode);
    // The first (postcode, weight) of a settlement name; an empty pair when unknown.
    std::optional<CodeName> settlementByName(const QString &name);
    // Empty when not found.
    std::optional<QString> streetTypeCode(const QString &name);
    std::optional<QString> fundCode(const QString &name);
    // County code of a district given by its three-digit code; empty when not found.
    std::optional<QString> districtCounty(const QString &districtCode);

    std::optional<bool> hasPendingLines(int id);
    std::optional<bool> hasFiledReports(int id);

    enum class InsertResult { Ok, EmployerFailed, StartRowFailed };
    // Records a new employer and, for a start number above 1, the start row of its report count,
    // in one transaction.
    InsertResult insert(const QVariantMap &fields, int startNumber, const QString &reportType);
    // Writes the named fields of one employer.
    bool update(int id, const QVariantMap &fields);
    // One of the register's own update statements, ending in "where id = :ny".
    bool execute(const QStringList &lines, const QList<QVariant> &params);
    bool remove(int id);

    // The employers of the printed employer sheet, in name order; an employer whose seat
    // postcode or street type has no reference row is left out.
    std::optional<QList<QVariantMap>> sheetRows();

    // An active employer whose tax number begins with the prison-service base exists.
    std::optional<bool> prisonServiceActive();

    // The store's text of the last failed write.
    QString lastError() const { return m_error; }

private:
    std::optional<QList<CodeName>> codeNames(const QString &countSql, const QStringList &lines,
                                             const QString &codeField, const QString &nameField);

    DataModule &m_data;
    QString m_error;
};
