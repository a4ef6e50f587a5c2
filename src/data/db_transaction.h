#pragma once
// Transaction guard: commit() makes the work permanent; leaving the scope without it
// rolls the work back and re-reads the given table objects, so that they hold what the
// server holds again (rows inserted inside the transaction disappear from them too).
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
    DbConnection &m_conn;
    QList<DbTable *> m_tables;
    bool m_done = false;
};
