#include "db_transaction.h"

#include "db_connection.h"
#include "db_table.h"

DbTransaction::DbTransaction(DbConnection &connection, QList<DbTable *> resyncOnRollback)
    : m_conn(connection), m_tables(std::move(resyncOnRollback))
{
    m_conn.begin();
}

void DbTransaction::commit()
{
    m_conn.commit();
    m_done = true;
}

DbTransaction::~DbTransaction()
{
    if (m_done)
        return;
    m_conn.rollback();
    // Drop every pending row first: re-reading a master moves its details, which would
    // otherwise post their pending rows outside the rolled-back transaction.
    for (DbTable *t : m_tables)
        if (t->isOpen())
            t->cancel();
    for (DbTable *t : m_tables) {
        if (!t->isOpen())
            continue;
        try {
            t->refresh();
        } catch (...) {
            // The server cannot be reached: the table keeps what it had; the next
            // command that reaches the server reports the failure.
        }
    }
}
