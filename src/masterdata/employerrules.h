#pragma once

#include "employerstore.h"

#include <QStringList>
#include <QVariant>

#include <optional>

// What a modify-mode save of the register writes: the fields bound to the row, then one guarded
// statement for each change mark, then the identifier, bank account and district.
struct EmployerChange {
    int id = -1;
    QVariantMap posted;
    // Set only for what the user changed: (postcode, weight), street type code, county code,
    // end date (date text, or a null to clear it).
    std::optional<EmployerStore::CodeName> seatPostcode, sitePostcode;
    std::optional<QString> seatStreetType, siteStreetType, fund;
    std::optional<QVariant> endDate;
    QString azonTip, taxNumber, bank, district;
    QString fundBefore; // MEGYE as it stood before this save
};

class EmployerRules
{
public:
    explicit EmployerRules(EmployerStore &store) : m_store(store) {}

    struct Result {
        bool posted = false;  // false: nothing was written, the edit stays open
        QStringList messages; // to show in this order
    };
    Result saveChange(const EmployerChange &change);

private:
    EmployerStore &m_store;
};
