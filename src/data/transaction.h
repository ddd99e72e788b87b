#pragma once

#include "dialect.h"

#include <QSqlDatabase>

// Commits when told to; rolls back whatever is left when it goes out of scope. Inside a
// transaction already open it begins none: isOpen() is then false.
class Transaction
{
public:
    explicit Transaction(QSqlDatabase db) : m_db(db) { m_open = Dialect::beginIfOutside(m_db); }
    ~Transaction()
    {
        // A connection the server dropped has nothing left to roll back.
        if (m_open && m_db.isOpen()) m_db.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isOpen() const { return m_open; }
    bool commit()
    {
        if (!m_open) return false;
        m_open = false;
        if (m_db.commit()) return true;
        if (m_db.isOpen()) m_db.rollback();
        return false;
    }

private:
    QSqlDatabase m_db;
    bool m_open = false;
};
