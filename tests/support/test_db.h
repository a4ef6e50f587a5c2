#pragma once
// Test access to the private MariaDB test server: every connection of the process is
// routed to it, and each test works in scratch databases of its own, loaded from the
// project's schema files and dropped afterwards.
#include "data/db_connection.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

class TDiz;

namespace TestDb {
// Routes every DbConnection of the process to the test server (XN_TEST_DB_SOCKET / _PORT).
void useTestServer();
// Full path of a file of the schema folder.
QString schemaFile(const QString &name);
// Runs every statement of an SQL script file on the connection.
void runScript(DbConnection &conn, const QString &path);
} // namespace TestDb

class ScratchDatabase {
public:
    // Creates a database with a unique name and loads the given schema files into it.
    explicit ScratchDatabase(const QStringList &schemaFiles = {QStringLiteral("xml_norva.sql")},
                             const QString &prefix = QStringLiteral("t"));
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    QString name() const { return m_name; }
    // A connection of its own to the scratch database, for setting up and checking.
    DbConnection &sql() { return *m_conn; }
    void load(const QString &schemaFileName);
    // Inserts one row (column -> value) and returns its auto-increment key, if any.
    int insert(const QString &table, const QVariantMap &columns);

private:
    QString m_name;
    std::unique_ptr<DbConnection> m_conn;
};

// Points the data module at scratch databases (the management one is optional),
// connects and opens the ten tables.
void openDizOn(TDiz &diz, ScratchDatabase &xml, ScratchDatabase *norva = nullptr);
