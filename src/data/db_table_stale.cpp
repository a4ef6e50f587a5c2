// Several desks on one server: a stored row of a keyed table is changed or deleted only
// while it still holds on the server what this desk read; otherwise the desk is told and
// shows the stored row again.
#include "db_table.h"

#include "app_error.h"

QString DbTable::staleRowMessage()
{
    return QStringLiteral("La riga è stata modificata o eliminata su un'altra postazione: "
                          "la modifica non è stata registrata. Sono mostrati i valori registrati.");
}

QString DbTable::rowNotFoundMessage() { return QStringLiteral("Riga non trovata o modificata su un'altra postazione"); }

bool DbTable::hasStoredKey(const DbRow::Cells &original) const
{
    const int k = keyField();
    return k >= 0 && size_t(k) < original.size() && original[size_t(k)].has_value();
}

QString DbTable::whereUnchanged(const DbRow::Cells &original, const std::vector<bool> *onlyColumns) const
{
    const int k = keyField();
    QStringList parts;
    parts << DbConnection::quoteName(m_fields[size_t(k)].orgName) + QStringLiteral(" = ")
            + m_conn.sqlLiteral(QString::fromUtf8(*original[size_t(k)]));
    for (int i = 0; i < m_baseCount; ++i) {
        const DbField &f = m_fields[size_t(i)];
        if (i == k || f.orgName.isEmpty() || (onlyColumns && !(*onlyColumns)[size_t(i)]))
            continue;
        const auto &c = original[size_t(i)];
        // NULL-safe equality; texts compared byte for byte, whatever the collation.
        const QString name = DbConnection::quoteName(f.orgName);
        const QString value = c ? m_conn.sqlLiteral(QString::fromUtf8(*c)) : QStringLiteral("NULL");
        parts << (f.kind == DbField::Kind::Text ? QStringLiteral("BINARY ") + name : name) + QStringLiteral(" <=> ") + value;
    }
    return parts.join(QStringLiteral(" AND "));
}

void DbTable::refuseStaleRow()
{
    if (isEditing())
        cancel();
    try {
        rereadCurrent();
    } catch (...) {
        // The server cannot be reached now: the refusal is what the user must hear.
    }
    throw DbError(staleRowMessage());
}

bool DbTable::rereadCurrent()
{
    const int k = keyField();
    if (!isOpen() || m_cur < 0 || k < 0)
        return m_cur >= 0;
    checkBrowseMode();
    const QVariant key = valueAt(m_cur, k);
    std::vector<DbRow> found;
    const unsigned extra = unsigned(m_calcDecl.size());
    const QString keyTest = DbConnection::quoteName(m_fields[size_t(k)].name) + QStringLiteral(" = ") + m_conn.sqlLiteral(key);
    QString sql = m_sql.isEmpty() && !m_master
        ? QStringLiteral("SELECT * FROM %1 WHERE %2").arg(DbConnection::quoteName(m_table), keyTest)
        : QStringLiteral("SELECT * FROM (%1) AS current_row WHERE %2").arg(fetchSql(), keyTest);
    // Inside a transaction, the row as stored now rather than as an earlier read saw it.
    if (m_conn.inTransaction())
        sql += QStringLiteral(" LOCK IN SHARE MODE");
    m_conn.selectEach(
        sql,
        [](std::vector<DbField> &&) {},
        [&](unsigned n, char **values, const unsigned long *lengths) { found.emplace_back(n, values, lengths, extra); });
    if (m_cur < 0 || m_cur >= rowCount() || valueAt(m_cur, k) != key)
        return false;  // the rows moved meanwhile (a receiver re-read them)
    ++m_generation;
    if (found.empty()) {
        const int removed = m_cur;
        m_rows.erase(m_rows.begin() + m_cur);
        if (m_cur >= rowCount())
            m_cur = rowCount() - 1;
        m_bof = m_eof = m_rows.empty();
        if (!(m_holdDepth > 0 && m_heldReset))
            emit rowRemoved(removed);
        notifyCurrent();
        emit currentRowVanished();
        return false;
    }
    DbRow row = found.front();
    if (extra && m_calcHook)
        row = withCalculated(std::move(row));
    const int from = m_cur;
    replaceCurrentRow(std::move(row));
    if (!(m_holdDepth > 0 && m_heldReset)) {
        if (from != m_cur)
            emit rowMoved(from, m_cur);
        emit rowChanged(m_cur);
    }
    if (from != m_cur)
        notifyCurrent();
    else
        emit linkValuesMayHaveChanged();
    return true;
}
