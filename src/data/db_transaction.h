#pragma once
// Transaction guard: commit() makes the work permanent; leaving the scope without it
// rolls the work back and re-reads the given table objects (masters before their
// details, whatever the order given), so that they hold what the server holds again
// (rows inserted inside the transaction disappear from them too).
//
// Guards nest: an inner guard works on a savepoint of the outer transaction, so its
// rollback drops only its own work and the outer guard goes on. When the transaction
// itself is lost (the connection went away), the outer commit() throws and nothing of
// the work is on the server. The destructor never throws.
#include <QList>

class DbConnection;
class DbTable;

class DbTransaction {
public:
    DbTransaction(DbConnection &connection, QList<DbTable *> resyncOnRollback = {});
    ~DbTransaction();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    void commit();

private:
    void rollBackAndResync() noexcept;

    DbConnection &m_conn;
    QList<DbTable *> m_tables;
    int m_level = 0;
    bool m_done = false;
};
