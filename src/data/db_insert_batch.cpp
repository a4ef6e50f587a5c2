#include "db_insert_batch.h"

#include "db_connection.h"

#include <QHash>
#include <algorithm>
#include <utility>

namespace {

constexpr qsizetype MaxRows = 500;
const QString ValuesWord = QStringLiteral(") VALUES (");

// Guards are used on the thread of their connection; each connection has at most one in force.
QHash<const DbConnection *, DbInsertBatch *> &guards()
{
    static QHash<const DbConnection *, DbInsertBatch *> g;
    return g;
}

} // namespace

DbInsertBatch::DbInsertBatch(DbConnection &connection, const QString &table)
    : m_connection(connection), m_previous(guards().value(&connection, nullptr)),
      m_prefix(QStringLiteral("INSERT INTO ") + DbConnection::quoteName(table) + QStringLiteral(" ("))
{
    if (m_previous)
        m_previous->flush();
    guards().insert(&connection, this);
}

DbInsertBatch::~DbInsertBatch()
{
    if (m_previous)
        guards().insert(&m_connection, m_previous);
    else
        guards().remove(&m_connection);
}

DbInsertBatch *DbInsertBatch::of(const DbConnection *connection)
{
    const auto &g = guards();
    if (g.isEmpty())
        return nullptr;
    return g.value(connection, nullptr);
}

bool DbInsertBatch::take(const QString &sql)
{
    if (m_flushing || !sql.startsWith(m_prefix) || !sql.endsWith(QLatin1Char(')')))
        return false;
    // Column names come first and are quoted: the first ") VALUES (" ends them.
    const qsizetype values = sql.indexOf(ValuesWord, m_prefix.size());
    if (values < 0)
        return false;
    // Rows naming the same columns share a statement (a table object leaves out the
    // columns a row does not set).
    const QString head = sql.left(values + 1);
    auto group = std::find_if(m_groups.begin(), m_groups.end(), [&](const Group &g) { return g.head == head; });
    if (group == m_groups.end())
        group = m_groups.insert(m_groups.end(), Group{head, {}});
    group->rows << sql.mid(values + ValuesWord.size() - 1);
    if (++m_held >= MaxRows)
        flush();
    return true;
}

void DbInsertBatch::flush()
{
    if (m_flushing || m_groups.isEmpty())
        return;
    const QList<Group> groups = std::exchange(m_groups, {});
    m_held = 0;
    m_flushing = true;
    try {
        for (const Group &g : groups)
            m_connection.exec(g.head + QStringLiteral(" VALUES ") + g.rows.join(QLatin1Char(',')));
    } catch (...) {
        m_flushing = false;
        throw;
    }
    m_flushing = false;
}
