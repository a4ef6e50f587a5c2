// Several desks on one server: a stored row of a keyed table is changed or deleted only
// while it still holds on the server what this desk read; otherwise the desk is told and
// shows the stored row again.
#include "data/db_table.h"

#include "data/app_error.h"
#include "data/db_row_statements.h"

QString DbTable::staleRowMessage()
{
    return QStringLiteral("La riga è stata modificata o eliminata su un'altra postazione: "
                          "la modifica non è stata registrata. Sono mostrati i valori registrati.");
}

QString DbTable::rowNotFoundMessage() { return QStringLiteral("Riga non trovata o modificata su un'altra postazione"); }

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
    m_conn.selectEach(
        statements().currentRow(m_sql.isEmpty() && !m_master ? QString() : fetchSql(), key),
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
        if (!m_notices.resetHeld())
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
    if (!m_notices.resetHeld()) {
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
