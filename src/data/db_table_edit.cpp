// The pending row of a table object: begun by append() or edit() (or by setting a value),
// stored by post() with one statement, dropped by cancel(); remove() deletes the current row.
#include "data/db_table.h"

#include "data/app_error.h"
#include "data/db_row_statements.h"

#include <QScopedValueRollback>

DbRowStatements DbTable::statements() const { return DbRowStatements(m_conn, m_table, m_fields, m_baseCount, keyField()); }

void DbTable::setState(State s)
{
    if (s == m_state)
        return;
    m_state = s;
    emit stateChanged();
}

void DbTable::checkBrowseMode()
{
    if (!isEditing())
        return;
    if (m_pending.modified)
        post();
    else
        cancel();
}

void DbTable::append()
{
    if (!isOpen())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    checkBrowseMode();
    m_pending.cells.assign(m_fields.size(), std::nullopt);
    m_pending.original.clear();
    m_pending.dirty.assign(m_fields.size(), false);
    if (m_master) {
        const QVariantList vals = masterValues();
        for (int i = 0; i < m_detailColumns.size(); ++i) {
            const int c = indexOfField(m_detailColumns[i]);
            m_pending.cells[size_t(c)] = DbValues::encode(m_fields[size_t(c)], vals.value(i));
        }
    }
    m_pending.beforeInsert = m_cur;
    setState(State::Insert);
    computeCalculated(m_pending.cells);
    if (m_newRecordHook) {
        try {
            m_newRecordHook(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
    // The defaults of a new row do not count as a change: an untouched new row is dropped.
    m_pending.modified = false;
    notifyCurrent();
}

void DbTable::edit()
{
    if (isEditing())
        return;
    if (!isOpen())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    if (m_cur < 0)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(objectName()));
    m_pending.cells = m_rows[size_t(m_cur)].cells();
    m_pending.original = m_pending.cells;
    m_pending.dirty.assign(m_fields.size(), false);
    m_pending.modified = false;
    setState(State::Edit);
}

void DbTable::setValue(QAnyStringView column, const QVariant &v)
{
    const int i = indexOfField(column);
    if (!isEditing())
        edit();
    const DbField &f = m_fields[size_t(i)];
    m_pending.cells[size_t(i)] = DbValues::encode(f, v);
    if (!f.calculated) {
        m_pending.dirty[size_t(i)] = true;
        m_pending.modified = true;
        computeCalculated(m_pending.cells);
    }
    emit pendingChanged(f.name);
}

void DbTable::post()
{
    if (!isEditing())
        return;
    runBeforePostHooks();
    const DbRowStatements sql = statements();
    if (m_state == State::Insert) {
        m_conn.exec(sql.insert(m_pending.cells));
        const int k = keyField();
        const bool keyFromServer = k >= 0 && m_fields[size_t(k)].autoIncrement && !m_pending.cells[size_t(k)];
        if (keyFromServer)
            m_pending.cells[size_t(k)] = QByteArray::number(m_conn.lastInsertId());
        computeCalculated(m_pending.cells);
        DbRow row(m_pending.cells);
        int pos = m_orderField >= 0 ? sortedPosition(row) : rowCount();
        m_rows.insert(m_rows.begin() + pos, std::move(row));
        ++m_generation;
        m_cur = pos;
        // The tables that follow this one hear of the new row while the flag is up.
        const QScopedValueRollback announcing(m_announcingNewRow, keyFromServer && m_conn.inTransaction());
        finishPost(-1);
        return;
    }
    if (m_pending.modified) {
        const QString update = sql.update(m_pending.cells, m_pending.dirty, m_pending.original);
        if (!update.isEmpty() && m_conn.exec(update) == 0) {
            if (sql.hasStoredKey(m_pending.original))
                refuseStaleRow();
            throw DbError(rowNotFoundMessage());
        }
    }
    computeCalculated(m_pending.cells);
    DbRow row(m_pending.cells);
    const int from = m_cur;
    replaceCurrentRow(std::move(row));
    ++m_generation;
    finishPost(from);
}

// After a store: back to browsing, and the controls hear of the one row (`from`: where
// an edited row stood, -1 for a new row).
void DbTable::finishPost(int from)
{
    dropPending();
    m_bof = m_eof = false;
    m_state = State::Browse;
    if (!m_notices.resetHeld()) {
        if (from < 0)
            emit rowInserted(m_cur);
        else if (from != m_cur)
            emit rowMoved(from, m_cur);
        if (from >= 0)
            emit rowChanged(m_cur);
    }
    emit stateChanged();
    if (from != m_cur)
        notifyCurrent();
    else
        emit linkValuesMayHaveChanged();
}

void DbTable::cancel()
{
    if (!isEditing())
        return;
    const bool wasInsert = m_state == State::Insert;
    const int beforeInsert = m_pending.beforeInsert;
    dropPending();
    if (wasInsert)
        m_cur = beforeInsert < rowCount() ? beforeInsert : rowCount() - 1;
    setState(State::Browse);
    if (m_cur >= 0 && !wasInsert && !m_notices.resetHeld())
        emit rowChanged(m_cur);
    notifyCurrent();
}

void DbTable::remove()
{
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (!isOpen())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    if (m_cur < 0)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(objectName()));
    if (isEditing())
        cancel();
    const DbRow::Cells original = m_rows[size_t(m_cur)].cells();
    const DbRowStatements sql = statements();
    if (m_conn.exec(sql.remove(original)) == 0) {
        if (sql.hasStoredKey(original))
            refuseStaleRow();
        throw DbError(rowNotFoundMessage());
    }
    const int removed = m_cur;
    m_rows.erase(m_rows.begin() + m_cur);
    ++m_generation;
    if (m_cur >= rowCount())
        m_cur = rowCount() - 1;
    m_eof = m_rows.empty();
    m_bof = m_rows.empty();
    if (!m_notices.resetHeld())
        emit rowRemoved(removed);
    notifyCurrent();
}

void DbTable::restorePending(const PendingSnapshot &p)
{
    if (!isOpen())
        return;
    if (p.state != State::Edit && p.state != State::Insert) {
        cancel();
        return;
    }
    // Only the pending row of the same state and row can be given back.
    if (p.state != m_state || (p.state == State::Edit && p.current != m_cur)) {
        cancel();
        return;
    }
    m_pending = p.row;
    for (const DbField &f : m_fields)
        emit pendingChanged(f.name);
}
