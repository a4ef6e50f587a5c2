#pragma once
// Gathering the rows a run inserts into one table: while a guard is alive on a connection,
// the one-row INSERTs that table objects send into its table (statements of the form
// INSERT INTO `table` (columns) VALUES (values)) are held and sent together, as one
// multi-row INSERT in the order they came, just before the next other statement of that
// connection (a commit included) or when 500 rows are held. Rows that name different
// columns share the statement: it names every column any of them names, and a row gives
// DEFAULT where it named none (what the server stores for a column left out). Rows into a
// table whose key the server gives must not be gathered: the key is not known before they
// are sent.
// A refused row is reported by that next statement, inside the same transaction, which
// then stores nothing of the run's unit of work. A rollback drops the rows still held, as
// does the guard when it goes (a unit of work that ends normally has sent them with its
// commit).
#include <QString>
#include <QStringList>

class DbConnection;

class DbInsertBatch {
public:
    DbInsertBatch(DbConnection &connection, const QString &table);
    ~DbInsertBatch();
    DbInsertBatch(const DbInsertBatch &) = delete;
    DbInsertBatch &operator=(const DbInsertBatch &) = delete;

    // The guard alive on `connection`, or nullptr.
    static DbInsertBatch *of(const DbConnection *connection);

    // Holds `sql` when it is a one-row INSERT into the guard's table; false otherwise.
    bool take(const QString &sql);
    // Sends the rows held; raises the server's error.
    void flush();
    // Forgets the rows held.
    void discard()
    {
        m_rows.clear();
    }

private:
    DbConnection &m_connection;
    DbInsertBatch *m_previous;
    QString m_prefix;  // INSERT INTO `table` (
    struct Row {
        QStringList columns;  // quoted names
        QStringList values;   // literals, one per column
    };
    QList<Row> m_rows;  // in the order they came
    bool m_flushing = false;
};
