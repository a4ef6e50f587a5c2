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
    for (DbTable *t : m_tables) {
        if (!t->isOpen())
            continue;
        try {
            t->cancel();
            t->refresh();
        } catch (...) {
            // The server cannot be reached: the table keeps what it had; the next
            // command that reaches the server reports the failure.
        }
    }
}
