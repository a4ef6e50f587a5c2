#pragma once
// A connection to the MySQL/MariaDB server over Connector/C. Settings are held until
// open(); errors of the server are raised as DbError with the server's text.
// Every value put into a statement goes through sqlLiteral() (the client library's escaping).
#include "data/db_field.h"
#include "data/db_row.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

struct st_mysql;

// The rows and columns of one SELECT.
struct DbResult {
    std::vector<DbField> fields;
    std::vector<DbRow> rows;
    int indexOf(const QString &name) const;
};

// Where and how a connection connects.
struct DbConnectionSettings {
    QString host;
    QString database;
    QString user;
    QString password;
    int port = 3306;
    int connectTimeout = 15;
    int readTimeout = 30;
    int writeTimeout = 30;
    bool operator==(const DbConnectionSettings &) const = default;
};

class DbConnection : public QObject {
    Q_OBJECT
public:
    explicit DbConnection(QObject *parent = nullptr);
    ~DbConnection() override;

    // Stored settings.
    void setHost(const QString &host);       // when connected and changed, the connection drops
    void setDatabase(const QString &db);     // when connected, switched on the live connection
    void setUser(const QString &user) { m_user = user; }
    void setPassword(const QString &pw) { m_password = pw; }
    void setPort(int port) { m_port = port; }
    void setConnectTimeout(int seconds) { m_timeout = seconds; }
    // Seconds a statement may wait for the server to answer (read) or to take what is
    // sent (write); a statement that runs out of time fails like any other and the next
    // one connects anew. Take effect at the next connection.
    void setReadTimeout(int seconds) { m_readTimeout = seconds; }
    void setWriteTimeout(int seconds) { m_writeTimeout = seconds; }
    int connectTimeout() const { return m_timeout; }
    int readTimeout() const { return m_readTimeout; }
    int writeTimeout() const { return m_writeTimeout; }
    // Every setting at once (server, database, account, time-outs); a connection on
    // another thread is made this way. Changed settings drop the connection.
    DbConnectionSettings settings() const;
    void setSettings(const DbConnectionSettings &settings);
    QString host() const { return m_host; }
    QString database() const { return m_database; }
    int port() const { return m_port; }

    // The process may route every connection to another port and socket (the tests'
    // private server does this); the stored settings stay as they are.
    static void setEndpointOverride(int port, const QString &socket);

    // Connects. After open() the connection is wanted until close(): a statement run
    // while it is down (lost, or a reconnection that failed) connects anew first.
    void open();
    void close();
    bool isConnected() const { return m_mysql != nullptr; }
    // True after the server went away; the next statement connects anew first.
    bool isBroken() const { return m_broken; }
    // Makes what this connection does on the thread that uses it fail at once, as a lost
    // connection: a statement under way, every later one and any reconnection. That
    // thread can then end without waiting for the server. Callable from any thread.
    void abortFromAnotherThread();

    // Runs a statement that returns no rows; returns the rows matched.
    // `?` marks are replaced, in order, by the SQL literals of `params`.
    quint64 exec(const QString &sql, const QVariantList &params = {});
    DbResult select(const QString &sql, const QVariantList &params = {});
    // Streams the rows of a SELECT without holding the whole result twice: `onFields`
    // gets the columns once, then `onRow` each row (cells in the server's text form).
    void selectEach(const QString &sql, const std::function<void(std::vector<DbField> &&)> &onFields,
                    const std::function<void(unsigned count, char **values, const unsigned long *lengths)> &onRow);
    quint64 lastInsertId() const { return m_lastInsertId; }
    unsigned long threadId() const;

    // SQL literal of a value: NULL, a number, or an escaped quoted string
    // (a QDate becomes 'yyyy-mm-dd').
    QString sqlLiteral(const QVariant &v) const;
    QString bind(const QString &sql, const QVariantList &params) const;
    static QString quoteName(const QString &name);

    // Transactions nest: the outermost begin() starts a transaction, an inner one sets a
    // savepoint. An inner commit() releases its savepoint, an inner rollback() returns to
    // it, so the outer work goes on in the same transaction. When the transaction itself
    // is lost (the connection went away), every level is doomed: commit() then throws and
    // nothing of the work is on the server.
    bool inTransaction() const { return m_txDepth > 0; }
    int transactionDepth() const { return m_txDepth; }
    void begin();
    void commit();
    void rollback();   // never throws

    // The Italian sentences put before the server's text.
    static QString refusedSentence();  // "Connessione al server del database non riuscita."
    static QString lostSentence();     // "Connessione al server del database interrotta."
    // What the user reads: the sentence, then the client's own text on a line of its own,
    // labelled as the server's message.
    static QString explained(const QString &sentence, const QString &serverText);

signals:
    void aboutToClose();  // the tables of this connection close themselves
    void opened();

private:
    void ensureOpen();
    [[noreturn]] void raise(const QByteArray &statement = {});
    void query(const QByteArray &sql);
    void endTransaction(const char *sql);
    static DbField describe(const struct st_mysql_field &f);

    st_mysql *m_mysql = nullptr;
    std::mutex m_handleLock;  // held while m_mysql changes, and by abortFromAnotherThread()
    std::atomic<bool> m_aborted{false};
    QString m_host = QStringLiteral("localhost");
    QString m_database;
    QString m_user = QStringLiteral("root");
    QString m_password;
    int m_port = 3306;
    int m_timeout = 15;
    int m_readTimeout = 30;
    int m_writeTimeout = 30;
    bool m_wanted = false;
    bool m_broken = false;
    int m_txDepth = 0;
    bool m_txLost = false;
    qint64 m_lastUsed = 0;  // monotonic ms of the last answer of the server
    quint64 m_lastInsertId = 0;
};
