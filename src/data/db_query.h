#pragma once
// Scratch statement object: set a statement's text and run it.
#include "data/db_connection.h"

class DbQuery {
public:
    explicit DbQuery(DbConnection &connection) : m_conn(connection) {}
    void setSql(const QString &sql) { m_sql = sql; }
    QString sql() const { return m_sql; }
    quint64 execSql(const QVariantList &params = {}) { return m_conn.exec(m_sql, params); }
    DbResult open(const QVariantList &params = {}) { return m_conn.select(m_sql, params); }

private:
    DbConnection &m_conn;
    QString m_sql;
};
