#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class DataModule;
class PagedQueryModel;

// The SQL of the insured-person register: the person list in name or TAJ order (fetched a page
// at a time, through idx_vnev and idx_taj), where a search puts it, the person's relations and
// what they name, and the correction of a person's names and birth date.
class PersonRegister
{
public:
    explicit PersonRegister(DataModule &data) : m_data(data) {}

    enum class Order { Name, Taj };
    bool showPersons(PagedQueryModel &model, Order order);

    // The row of the first person whose family name equals the text or sorts after it, in name
    // order; the last row when the text sorts after every name.
    std::optional<int> rowForName(const QString &text);
    // The row of the person with exactly this TAJ number in TAJ order; -1 when there is none.
    std::optional<int> rowForTaj(const QString &taj);

    std::optional<QList<QVariantMap>> relations(const QString &taj);
    std::optional<QVariantMap> employer(const QString &id);
    std::optional<QString> titleName(const QString &code);
    std::optional<QString> occupationName(const QString &code);
    std::optional<QStringList> employerNames();

    struct Correction {
        QString taj, familyName, givenName, givenName2, birthDate;
    };
    bool correct(const Correction &c, QString *error = nullptr);

private:
    std::optional<int> count(const QString &sql, const QList<QVariant> &params);

    DataModule &m_data;
};
