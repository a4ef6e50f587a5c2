#pragma once
// One import at a time across every desk of the server: a named lock of the server, held
// by the import's own connection for the whole run. The server releases it by itself when
// that connection ends (the desk closed, crashed or lost the network), so a dead desk
// never blocks the others.
#include <QString>

class DbConnection;

class ImportRunLock {
public:
    // Asks for the lock without waiting; acquired() tells whether it was given.
    explicit ImportRunLock(DbConnection &connection);
    ~ImportRunLock();  // releases the lock (never throws)
    ImportRunLock(const ImportRunLock &) = delete;
    ImportRunLock &operator=(const ImportRunLock &) = delete;

    bool acquired() const { return m_acquired; }
    // Raises AppError when the connection that holds the lock was replaced (the server
    // dropped it, and the lock with it): another desk may be importing by now.
    void checkStillHeld() const;

    // What the second desk is told.
    static QString busyMessage();
    // The lock's name on the server: one per electronic-invoice database.
    static QString lockName(const QString &database);

private:
    DbConnection &m_conn;
    QString m_name;
    unsigned long m_threadId = 0;
    bool m_acquired = false;
};
