// A detail table follows its master: it holds only the rows whose detail columns equal the
// master's current link values, fetched again whenever those values change.
#include "data/db_table.h"

#include <algorithm>

void DbTable::setMaster(DbTable *master, const QStringList &masterColumns, const QStringList &detailColumns)
{
    if (m_master)
        disconnect(m_master, nullptr, this, nullptr);
    m_master = master;
    m_masterColumns = masterColumns;
    m_detailColumns = detailColumns;
    if (m_master) {
        connect(m_master, &DbTable::linkValuesMayHaveChanged, this, &DbTable::masterMoved);
    }
    if (isOpen())
        masterMoved();
}

QString DbTable::fetchSql() const
{
    if (!m_master)
        return baseSql();
    QString where;
    for (int i = 0; i < m_detailColumns.size(); ++i) {
        if (i)
            where += QStringLiteral(" AND ");
        const QVariant v = i < m_linkValues.size() ? m_linkValues[i] : QVariant();
        where += DbConnection::quoteName(m_detailColumns[i]) + QStringLiteral(" = ") + m_conn.sqlLiteral(v);
    }
    if (m_sql.isEmpty())
        return baseSql() + QStringLiteral(" WHERE ") + where;
    return QStringLiteral("SELECT * FROM (") + m_sql + QStringLiteral(") AS detail_rows WHERE ") + where;
}

QVariantList DbTable::masterValues() const
{
    QVariantList out;
    const bool has = m_master && m_master->isOpen() && (m_master->m_cur >= 0 || m_master->isEditing());
    for (const QString &c : m_masterColumns)
        out << (has ? m_master->value(c) : QVariant());
    return out;
}

void DbTable::masterMoved()
{
    if (!isOpen())
        return;
    const QVariantList vals = masterValues();
    if (vals == m_linkValues)
        return;
    checkBrowseMode();
    m_linkValues = vals;
    // A master without a current row (or a new one without its key yet) has no details:
    // a NULL link value matches no row, so the server is not asked.
    // Nor has a master row stored new in the transaction still open on this table's
    // connection: its key exists in that transaction alone, and nothing stored there
    // refers to it yet.
    const bool none = !m_master->isOpen()
        || std::any_of(vals.begin(), vals.end(), [](const QVariant &v) { return v.isNull(); })
        || (&m_master->connection() == &m_conn && m_master->currentRowIsNewInOpenTransaction());
    auto clearRows = [this] {
        m_rows.clear();
        ++m_generation;
        m_cur = -1;
        m_eof = m_bof = true;
    };
    if (none) {
        clearRows();
    } else {
        try {
            fetch();
        } catch (...) {
            // The rows of the previous master must not stand for the new one's.
            clearRows();
            notifyReset();
            notifyCurrent();
            throw;
        }
    }
    notifyReset();
    notifyCurrent();
}
