// Re-reading a table object's rows while it stays open: on demand (refresh), in the
// background (periodically, or when a user asks), and applying only what differs.
#include "data/db_table.h"

#include "data/app_error.h"
#include "data/db_reread_difference.h"
#include "data/db_reread_worker.h"

#include <algorithm>

void DbTable::setRefreshInterval(int ms)
{
    m_refreshMs = ms;
    if (ms <= 0 && m_refreshFailing) {
        m_refreshFailing = false;  // no longer re-reading: nothing is failing
        emit refreshRecovered();
    }
    m_timer.stop();
    if (ms > 0 && isOpen())
        m_timer.start(ms);
}

DbRereadRequest DbTable::rereadRequest() const
{
    DbRereadRequest r;
    r.sql = fetchSql();
    r.held = m_rows;
    r.baseCount = m_baseCount;
    r.calculatedCount = unsigned(m_calcDecl.size());
    r.keyField = keyField();
    r.integerKey = r.keyField >= 0 && m_fields[size_t(r.keyField)].kind == DbField::Kind::Integer;
    if (m_orderField >= 0 && m_orderField < m_baseCount) {
        r.orderField = m_orderField;
        r.orderKind = m_fields[size_t(m_orderField)].kind;
    }
    r.generation = m_generation;
    return r;
}

void DbTable::refresh()
{
    if (!isOpen())
        return;
    checkBrowseMode();
    DbRereadResult result;
    runReread(m_conn, rereadRequest(), result);
    if (m_refreshFailing) {
        m_refreshFailing = false;  // the server answered
        emit refreshRecovered();
    }
    applyReread(result);
}

void DbTable::rereadInBackground()
{
    if (!isOpen())
        return;
    checkBrowseMode();
    // A fetch already under way may have started before the rows asked for changed.
    if (m_fetching)
        m_rereadAgain = true;
    else
        onTimer();
}

void DbTable::onTimer()
{
    // Skipped while a row is pending, and while the previous re-read is still under way.
    if (m_state != State::Browse || m_fetching)
        return;
    if (!m_worker)
        m_worker = std::make_unique<DbRereadWorker>();
    m_fetching = true;
    m_worker->start(m_conn.settings(), rereadRequest(), this,
                    [this](std::shared_ptr<DbRereadResult> result) { backgroundDone(result); });
}

void DbTable::backgroundDone(const std::shared_ptr<DbRereadResult> &result)
{
    m_fetching = false;
    if (m_rereadAgain) {
        m_rereadAgain = false;
        onTimer();
        return;
    }
    if (!result->ok) {
        if (!m_refreshFailing && isOpen()) {
            m_refreshFailing = true;
            emit refreshFailed(result->error);
        }
        return;
    }
    if (m_refreshFailing) {
        m_refreshFailing = false;
        emit refreshRecovered();
    }
    // Rows changed meanwhile (a post, another re-read) or a row now pending: the next
    // interval reads again; a pending row is never overwritten.
    if (!isOpen() || m_state != State::Browse || result->generation != m_generation)
        return;
    try {
        applyReread(*result);
    } catch (const std::exception &e) {
        // A detail that follows this table failed to read its rows.
        m_refreshFailing = true;
        emit refreshFailed(errorText(e));
    }
}

// Takes over the rows of a re-read and tells the bound controls only what differs.
void DbTable::applyReread(DbRereadResult &r)
{
    const bool sameColumns = int(r.fields.size()) == m_baseCount
        && std::equal(r.fields.begin(), r.fields.end(), m_fields.begin(), [](const DbField &a, const DbField &b) {
               return a.name == b.name && a.kind == b.kind;
           });
    if (!sameColumns) {
        // The statement's columns changed under us: read everything as on opening.
        const Bookmark mark = bookmark();
        fetch();
        gotoBookmark(mark);
        notifyReset();
        notifyCurrent();
        return;
    }
    const int oldCur = m_cur;
    const int newCount = int(r.rows.size());
    if (!m_calcDecl.empty() && m_calcHook)
        for (int i = 0; i < newCount; ++i)
            if (r.fresh[size_t(i)])
                r.rows[size_t(i)] = withCalculated(std::move(r.rows[size_t(i)]));
    // Rows kept in the order of a calculated field are sorted here, once it is computed.
    const bool reordered = m_orderField >= m_baseCount;
    if (reordered)
        std::stable_sort(r.rows.begin(), r.rows.end(), [this](const DbRow &a, const DbRow &b) { return lessThan(a, b); });
    const DbRereadDifference d = dbRereadDifference(r, rowCount(), oldCur, keyField(), bookmark().key, reordered);

    m_rows = std::move(r.rows);
    ++m_generation;
    m_cur = d.current;
    if (m_cur < 0) {
        m_bof = m_eof = true;
    } else {
        m_bof = m_cur == 0 && m_bof;
        m_eof = m_eof && m_cur == newCount - 1;
    }

    if (d.reset) {
        notifyReset();
        notifyCurrent();
    } else {
        if (!m_notices.resetHeld())
            emitRowNotices(r, d);
        if (!d.keptCurrent && !(oldCur < 0 && m_cur < 0))
            notifyCurrent();
        else
            emit linkValuesMayHaveChanged();
    }
    if (d.currentChanged)
        emit currentRowReread();
    if (d.currentGone)
        emit currentRowVanished();
}

// Row by row: the held rows gone, the rows new, the held rows changed.
void DbTable::emitRowNotices(const DbRereadResult &r, const DbRereadDifference &d)
{
    for (int h = int(d.kept.size()) - 1; h >= 0; --h)
        if (!d.kept[size_t(h)])
            emit rowRemoved(h);
    for (int i = 0; i < int(r.heldIndex.size()); ++i)
        if (r.heldIndex[size_t(i)] < 0)
            emit rowInserted(i);
    for (int i = 0; i < int(r.heldIndex.size()); ++i)
        if (r.heldIndex[size_t(i)] >= 0 && r.fresh[size_t(i)])
            emit rowChanged(i);
}
