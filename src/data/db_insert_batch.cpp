#include "data/db_insert_batch.h"

#include "data/db_connection.h"

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

// Splits `text` at the commas that stand outside quotes. `quote` opens and closes a quoted
// part, in which a doubled quote and (for values) a backslash escape what follows, as the
// connection's own quoting writes them. Empty when a quote is left open.
QStringList splitOutsideQuotes(QStringView text, QChar quote, bool backslashEscapes)
{
    QStringList parts;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (backslashEscapes && c == QLatin1Char('\\'))
                ++i;
            else if (c == quote && i + 1 < text.size() && text[i + 1] == quote)
                ++i;
            else if (c == quote)
                quoted = false;
        } else if (c == quote) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            parts << text.mid(start, i - start).toString();
            start = i + 1;
        }
    }
    if (quoted)
        return {};
    parts << text.mid(start).toString();
    return parts;
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
    const qsizetype valuesStart = values + ValuesWord.size();
    Row row{splitOutsideQuotes(QStringView(sql).mid(m_prefix.size(), values - m_prefix.size()), QLatin1Char('`'), false),
            splitOutsideQuotes(QStringView(sql).mid(valuesStart, sql.size() - 1 - valuesStart), QLatin1Char('\''), true)};
    // A statement not made of one literal per named column is not one of a table object's
    // rows: it goes as it is.
    if (row.columns.isEmpty() || row.columns.size() != row.values.size())
        return false;
    m_rows << std::move(row);
    if (m_rows.size() >= MaxRows)
        flush();
    return true;
}

void DbInsertBatch::flush()
{
    if (m_flushing || m_rows.isEmpty())
        return;
    const QList<Row> rows = std::exchange(m_rows, {});
    // Every column any row names, in the order they first come.
    QStringList columns;
    QHash<QString, int> position;
    for (const Row &row : rows)
        for (const QString &column : row.columns)
            if (!position.contains(column)) {
                position.insert(column, int(columns.size()));
                columns << column;
            }
    QString sql = m_prefix + columns.join(QLatin1Char(',')) + QStringLiteral(") VALUES ");
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QStringList literals(columns.size(), QStringLiteral("DEFAULT"));
        for (qsizetype i = 0; i < rows[r].columns.size(); ++i)
            literals[position.value(rows[r].columns[i])] = rows[r].values[i];
        if (r > 0)
            sql += QLatin1Char(',');
        sql += QLatin1Char('(') + literals.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    m_flushing = true;
    try {
        m_connection.exec(sql);
    } catch (...) {
        m_flushing = false;
        throw;
    }
    m_flushing = false;
}
