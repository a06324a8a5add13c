#pragma once

#include "masterdata/Table.h"

// A transaction on a table that ends on every way out of the block it is made in: committed where
// commit() is reached, rolled back otherwise (an exception, an early return). Rolling back never
// throws, so the error on its way out stays the one the user reads.
class TableTransaction
{
public:
    // Starts the transaction; throws as TTable::StartTransaction does.
    explicit TableTransaction(TTable &table) : m_table(table) { m_table.StartTransaction(); }
    ~TableTransaction() { rollback(); }
    TableTransaction(const TableTransaction &) = delete;
    TableTransaction &operator=(const TableTransaction &) = delete;

    // Saves what the transaction changed; a commit that fails throws and leaves it to be rolled
    // back.
    void commit()
    {
        m_table.Commit();
        m_open = false;
    }
    // Drops what the transaction changed; nothing happens once it has ended.
    void rollback() noexcept
    {
        if (m_open) {
            m_open = false;
            m_table.Rollback();
        }
    }

private:
    TTable &m_table;
    bool m_open = true;
};
