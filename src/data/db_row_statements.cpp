#include "data/db_row_statements.h"

#include "data/db_connection.h"

#include <QStringList>

bool DbRowStatements::hasStoredKey(const DbRow::Cells &original) const
{
    return m_key >= 0 && size_t(m_key) < original.size() && original[size_t(m_key)].has_value();
}

QString DbRowStatements::insert(const DbRow::Cells &row) const
{
    QStringList cols, vals;
    for (int i = 0; i < m_baseCount; ++i) {
        const DbField &f = m_fields[size_t(i)];
        if (f.orgName.isEmpty() || !row[size_t(i)])
            continue;
        cols << DbConnection::quoteName(f.orgName);
        vals << m_conn.sqlLiteral(QString::fromUtf8(*row[size_t(i)]));
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(DbConnection::quoteName(m_table), cols.join(QLatin1Char(',')), vals.join(QLatin1Char(',')));
}

QString DbRowStatements::update(const DbRow::Cells &row, const std::vector<bool> &dirty,
                                const DbRow::Cells &original) const
{
    QStringList sets;
    for (int i = 0; i < m_baseCount; ++i) {
        const DbField &f = m_fields[size_t(i)];
        if (!dirty[size_t(i)] || f.orgName.isEmpty())
            continue;
        const auto &c = row[size_t(i)];
        sets << DbConnection::quoteName(f.orgName) + QStringLiteral(" = ")
                + (c ? m_conn.sqlLiteral(QString::fromUtf8(*c)) : QStringLiteral("NULL"));
    }
    if (sets.isEmpty())
        return QString();
    const QString where = hasStoredKey(original) ? whereUnchanged(original, &dirty) : whereRow(original);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 LIMIT 1")
        .arg(DbConnection::quoteName(m_table), sets.join(QLatin1Char(',')), where);
}

QString DbRowStatements::remove(const DbRow::Cells &original) const
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 LIMIT 1")
        .arg(DbConnection::quoteName(m_table),
             hasStoredKey(original) ? whereUnchanged(original, nullptr) : whereRow(original));
}

QString DbRowStatements::currentRow(const QString &fetchSql, const QVariant &key) const
{
    const QString keyTest =
        DbConnection::quoteName(m_fields[size_t(m_key)].name) + QStringLiteral(" = ") + m_conn.sqlLiteral(key);
    QString sql = fetchSql.isEmpty()
        ? QStringLiteral("SELECT * FROM %1 WHERE %2").arg(DbConnection::quoteName(m_table), keyTest)
        : QStringLiteral("SELECT * FROM (%1) AS current_row WHERE %2").arg(fetchSql, keyTest);
    // Inside a transaction, the row as stored now rather than as an earlier read saw it.
    if (m_conn.inTransaction())
        sql += QStringLiteral(" LOCK IN SHARE MODE");
    return sql;
}

QString DbRowStatements::whereRow(const DbRow::Cells &original) const
{
    if (m_key >= 0 && original[size_t(m_key)])
        return DbConnection::quoteName(m_fields[size_t(m_key)].orgName) + QStringLiteral(" = ")
            + QString::fromUtf8(*original[size_t(m_key)]);
    QStringList parts;
    for (int i = 0; i < m_baseCount; ++i) {
        const DbField &f = m_fields[size_t(i)];
        if (f.orgName.isEmpty())
            continue;
        const QString name = DbConnection::quoteName(f.orgName);
        const auto &c = original[size_t(i)];
        if (!c)
            parts << name + QStringLiteral(" IS NULL");
        else if (f.kind == DbField::Kind::Text)
            parts << QStringLiteral("BINARY ") + name + QStringLiteral(" = ") + m_conn.sqlLiteral(QString::fromUtf8(*c));
        else
            parts << name + QStringLiteral(" = ") + m_conn.sqlLiteral(QString::fromUtf8(*c));
    }
    return parts.join(QStringLiteral(" AND "));
}

QString DbRowStatements::whereUnchanged(const DbRow::Cells &original, const std::vector<bool> *onlyColumns) const
{
    QStringList parts;
    parts << DbConnection::quoteName(m_fields[size_t(m_key)].orgName) + QStringLiteral(" = ")
            + m_conn.sqlLiteral(QString::fromUtf8(*original[size_t(m_key)]));
    for (int i = 0; i < m_baseCount; ++i) {
        const DbField &f = m_fields[size_t(i)];
        if (i == m_key || f.orgName.isEmpty() || (onlyColumns && !(*onlyColumns)[size_t(i)]))
            continue;
        const auto &c = original[size_t(i)];
        // NULL-safe equality; texts compared byte for byte, whatever the collation.
        const QString name = DbConnection::quoteName(f.orgName);
        const QString value = c ? m_conn.sqlLiteral(QString::fromUtf8(*c)) : QStringLiteral("NULL");
        parts << (f.kind == DbField::Kind::Text ? QStringLiteral("BINARY ") + name : name) + QStringLiteral(" <=> ") + value;
    }
    return parts.join(QStringLiteral(" AND "));
}
