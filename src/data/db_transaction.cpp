#include "data/db_transaction.h"

#include "data/db_connection.h"
#include "data/db_table.h"

#include <algorithm>

namespace {
// How many masters stand above a table: masters are re-read first.
int depthOf(const DbTable *t)
{
    int depth = 0;
    for (const DbTable *m = t->master(); m && depth < 16; m = m->master())
        ++depth;
    return depth;
}
} // namespace

DbTransaction::DbTransaction(DbConnection &connection, QList<DbTable *> resyncOnRollback)
    : m_conn(connection), m_tables(std::move(resyncOnRollback))
{
    std::stable_sort(m_tables.begin(), m_tables.end(),
                     [](const DbTable *a, const DbTable *b) { return depthOf(a) < depthOf(b); });
    m_conn.begin();
    m_level = m_conn.transactionDepth();
}

void DbTransaction::commit()
{
    if (m_done)
        return;
    m_conn.commit();
    m_done = true;
}

DbTransaction::~DbTransaction()
{
    if (!m_done)
        rollBackAndResync();
}

void DbTransaction::rollBackAndResync() noexcept
{
    // A commit that failed has already ended this level.
    if (m_conn.transactionDepth() >= m_level)
        m_conn.rollback();
    // Drop every pending row first: re-reading a master moves its details, which would
    // otherwise post their pending rows outside the rolled-back transaction. Details go
    // first, so that dropping a new master row does not move a detail with a row pending.
    for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it) {
        try {
            if ((*it)->isOpen())
                (*it)->cancel();
        } catch (...) {
            // A detail that follows the dropped row could not read its rows (the server
            // is gone): it holds no rows now, and the next command reports the failure.
        }
    }
    for (DbTable *t : m_tables) {
        try {
            if (t->isOpen())
                t->refresh();
        } catch (...) {
            // The server cannot be reached: the table keeps what it had; the next
            // command that reaches the server reports the failure.
        }
    }
}
