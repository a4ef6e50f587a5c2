#include "data/db_table.h"

#include "data/app_error.h"
#include "data/db_reread_worker.h"
#include "data/db_row_statements.h"

#include <algorithm>

DbTable::DbTable(DbConnection &connection, const QString &tableName, QObject *parent)
    : QObject(parent), m_conn(connection), m_table(tableName)
{
    setObjectName(tableName);
    connect(&m_conn, &DbConnection::aboutToClose, this, &DbTable::close);
    connect(&m_timer, &QTimer::timeout, this, &DbTable::onTimer);
}

// The worker's thread is stopped (after a fetch under way) before the rows go.
DbTable::~DbTable() = default;

// ---------------------------------------------------------------- configuration

void DbTable::setSql(const QString &sql)
{
    if (isOpen())
        close();
    m_sql = sql;
    ++m_generation;
}

void DbTable::setOrderBy(const QString &column) { m_orderBy = column; }

void DbTable::addCalculatedField(const QString &name, DbField::Kind kind, int width)
{
    m_calcDecl.push_back({name, {kind, width}});
}

int DbTable::addBeforePostHook(std::function<void(DbTable &)> hook)
{
    const int id = m_nextHookId++;
    m_beforePost.emplace_back(id, std::move(hook));
    return id;
}

void DbTable::removeBeforePostHook(int id)
{
    std::erase_if(m_beforePost, [id](const auto &h) { return h.first == id; });
}

void DbTable::runBeforePostHooks()
{
    // A copy: a hook may add or remove hooks.
    const auto hooks = m_beforePost;
    for (const auto &[id, hook] : hooks)
        hook(*this);
}

// ---------------------------------------------------------------- lifecycle

QString DbTable::baseSql() const
{
    return m_sql.isEmpty() ? QStringLiteral("SELECT * FROM ") + DbConnection::quoteName(m_table) : m_sql;
}

void DbTable::open()
{
    if (isOpen())
        return;
    m_linkValues = masterValues();
    fetch();
    setState(State::Browse);
    if (m_refreshFailing) {
        m_refreshFailing = false;  // the server answered
        emit refreshRecovered();
    }
    if (m_refreshMs > 0)
        m_timer.start(m_refreshMs);
    notifyReset();
    notifyCurrent();
}

void DbTable::close()
{
    if (m_state == State::Inactive)
        return;
    m_timer.stop();
    dropPending();
    m_rows.clear();
    ++m_generation;
    m_cur = -1;
    m_eof = m_bof = true;
    setState(State::Inactive);
    notifyReset();
    notifyCurrent();
}

// Reads every row anew, the current row back on the first one.
void DbTable::fetch()
{
    std::vector<DbField> fields;
    std::vector<DbRow> rows;
    const unsigned extra = unsigned(m_calcDecl.size());
    m_conn.selectEach(
        fetchSql(), [&](std::vector<DbField> &&f) { fields = std::move(f); },
        [&](unsigned n, char **values, const unsigned long *lengths) { rows.emplace_back(n, values, lengths, extra); });
    for (const QString &r : m_required) {
        const bool found = std::any_of(fields.begin(), fields.end(),
                                       [&](const DbField &f) { return f.name.compare(r, Qt::CaseInsensitive) == 0; });
        if (!found)
            throw DbError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), r));
    }

    m_fields = std::move(fields);
    m_baseCount = int(m_fields.size());
    for (const auto &[name, kw] : m_calcDecl) {
        DbField f;
        f.name = name;
        f.kind = kw.first;
        f.width = kw.second;
        f.calculated = true;
        m_fields.push_back(f);
    }
    m_fieldIndex.clear();
    for (int i = int(m_fields.size()) - 1; i >= 0; --i)
        m_fieldIndex.insert(m_fields[size_t(i)].name.toLower(), i);
    m_orderField = m_orderBy.isEmpty() ? -1 : fieldIndex(m_orderBy);

    m_rows = std::move(rows);
    ++m_generation;
    if (extra && m_calcHook)
        for (DbRow &row : m_rows)
            row = withCalculated(std::move(row));
    if (m_orderField >= 0)
        std::stable_sort(m_rows.begin(), m_rows.end(),
                         [this](const DbRow &a, const DbRow &b) { return lessThan(a, b); });
    m_cur = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
}

DbRow DbTable::withCalculated(DbRow row) const
{
    DbRow::Cells calc(m_calcDecl.size());
    DbRecord rec(*this, &row, nullptr, calc);
    m_calcHook(rec);
    if (std::none_of(calc.begin(), calc.end(), [](const auto &c) { return c.has_value(); }))
        return row;
    return row.withTail(m_baseCount, calc);
}

void DbTable::computeCalculated(DbRow::Cells &cells) const
{
    if (m_calcDecl.empty())
        return;
    DbRow::Cells calc(m_calcDecl.size());
    if (m_calcHook) {
        DbRow::Cells base(cells.begin(), cells.begin() + m_baseCount);
        base.resize(m_fields.size());
        DbRecord rec(*this, nullptr, &base, calc);
        m_calcHook(rec);
    }
    for (size_t i = 0; i < calc.size(); ++i)
        cells[size_t(m_baseCount) + i] = std::move(calc[i]);
}

// ---------------------------------------------------------------- fields and values

int DbTable::fieldIndex(QAnyStringView column) const
{
    // Most callers name columns in lower case already.
    const QString name = column.toString();
    const auto it = m_fieldIndex.constFind(name);
    if (it != m_fieldIndex.constEnd())
        return *it;
    return m_fieldIndex.value(name.toLower(), -1);
}

int DbTable::indexOfField(QAnyStringView column) const
{
    const int i = fieldIndex(column);
    if (i < 0) {
        if (!isOpen() && m_fields.empty())
            throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
        throw DbError(QStringLiteral("%1: Field '%2' not found").arg(objectName(), column.toString()));
    }
    return i;
}

const DbField &DbTable::field(QAnyStringView column) const { return m_fields[size_t(indexOfField(column))]; }

int DbTable::keyField() const
{
    for (int i = 0; i < m_baseCount; ++i)
        if (m_fields[size_t(i)].autoIncrement)
            return i;
    for (int i = 0; i < m_baseCount; ++i)
        if (m_fields[size_t(i)].primaryKey)
            return i;
    return -1;
}

QString DbTable::nullConversionMessage(const QString &type) { return DbValues::nullConversionMessage(type); }

bool DbTable::isNull(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing())
        return !m_pending.cells[size_t(i)].has_value();
    if (m_cur < 0)
        return true;
    return m_rows[size_t(m_cur)].isNull(i);
}

QString DbTable::text(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing()) {
        const auto &c = m_pending.cells[size_t(i)];
        return DbValues::text(m_fields[size_t(i)], c ? QByteArrayView(*c) : QByteArrayView(), !c);
    }
    return m_cur < 0 ? QString() : textAt(m_cur, i);
}

QVariant DbTable::value(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing()) {
        const auto &c = m_pending.cells[size_t(i)];
        return DbValues::decode(m_fields[size_t(i)], c ? QByteArrayView(*c) : QByteArrayView(), !c);
    }
    return m_cur < 0 ? QVariant() : valueAt(m_cur, i);
}

QString DbTable::asString(QAnyStringView column) const
{
    if (isNull(column))
        throw ConversionError(nullConversionMessage(QStringLiteral("String")));
    return text(column);
}

int DbTable::asInteger(QAnyStringView column) const { return DbValues::toInteger(value(column)); }

Decimal DbTable::amount(QAnyStringView column, AmountReading reading) const
{
    return DbValues::amount(text(column), reading);
}

Decimal DbTable::amountOr(QAnyStringView column, AmountReading reading, const Decimal &fallback) const
{
    return DbValues::amountOr(text(column), reading, fallback);
}

QString DbTable::textAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(m_fields.size()))
        return QString();
    const DbRow &r = m_rows[size_t(row)];
    return DbValues::text(m_fields[size_t(column)], r.raw(column), r.isNull(column));
}

QVariant DbTable::valueAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(m_fields.size()))
        return QVariant();
    const DbRow &r = m_rows[size_t(row)];
    return DbValues::decode(m_fields[size_t(column)], r.raw(column), r.isNull(column));
}

// ---------------------------------------------------------------- navigation

void DbTable::setCurrent(int index)
{
    const bool changed = index != m_cur;
    m_cur = index;
    if (changed)
        notifyCurrent();
}

void DbTable::first()
{
    checkBrowseMode();
    m_bof = true;
    m_eof = m_rows.empty();
    setCurrent(m_rows.empty() ? -1 : 0);
}

void DbTable::last()
{
    checkBrowseMode();
    m_eof = true;
    m_bof = m_rows.empty();
    setCurrent(m_rows.empty() ? -1 : rowCount() - 1);
}

void DbTable::next()
{
    checkBrowseMode();
    m_bof = false;
    if (m_cur + 1 < rowCount()) {
        m_eof = false;
        setCurrent(m_cur + 1);
    } else {
        m_eof = true;
    }
}

void DbTable::prior()
{
    checkBrowseMode();
    m_eof = false;
    if (m_cur > 0) {
        m_bof = false;
        setCurrent(m_cur - 1);
    } else {
        m_bof = true;
    }
}

void DbTable::moveTo(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    checkBrowseMode();
    m_bof = m_eof = false;
    setCurrent(row);
}

bool DbTable::locate(QAnyStringView column, const QVariant &value)
{
    const int col = indexOfField(column);
    checkBrowseMode();
    const DbField &f = m_fields[size_t(col)];
    const QString wanted = value.toString();
    auto matches = [&](const DbRow &r) {
        if (value.isNull())
            return r.isNull(col);
        if (r.isNull(col))
            return false;
        return DbValues::text(f, r.raw(col), false) == wanted || DbValues::decode(f, r.raw(col), false) == value;
    };
    for (int i = 0; i < rowCount(); ++i) {
        if (matches(m_rows[size_t(i)])) {
            m_bof = m_eof = false;
            setCurrent(i);
            return true;
        }
    }
    return false;
}

DbTable::Bookmark DbTable::bookmark() const
{
    Bookmark b;
    b.index = m_cur;
    const int k = keyField();
    if (k >= 0 && m_cur >= 0)
        b.key = valueAt(m_cur, k);
    return b;
}

void DbTable::gotoBookmark(const Bookmark &b)
{
    checkBrowseMode();
    const int k = keyField();
    if (k >= 0 && b.key.isValid()) {
        for (int i = 0; i < rowCount(); ++i)
            if (valueAt(i, k) == b.key) {
                m_bof = m_eof = false;
                setCurrent(i);
                return;
            }
    }
    if (b.index >= 0 && b.index < rowCount()) {
        m_bof = m_eof = false;
        setCurrent(b.index);
    }
}

void DbTable::releaseNotifications(const Bookmark &restore, bool bof, bool eof)
{
    // The walk's position goes; the row the screens showed comes back. Storing a pending
    // row or re-reading details may fail: the held notices are sent whatever happens.
    struct Release {
        DbNotices &notices;
        ~Release() { notices.release(); }
    } release{m_notices};
    if (!isOpen())
        return;
    const int before = m_cur;
    gotoBookmark(restore);
    if (m_cur == restore.index || (restore.index < 0 && before == m_cur)) {
        m_bof = bof;
        m_eof = eof;
    }
}

// ---------------------------------------------------------------- order

bool DbTable::lessThan(const DbRow &a, const DbRow &b) const
{
    return dbRowLess(a, b, m_orderField, m_fields[size_t(m_orderField)].kind);
}

int DbTable::sortedPosition(const DbRow &row) const
{
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [this](const DbRow &a, const DbRow &b) { return lessThan(a, b); });
    return int(it - m_rows.begin());
}

void DbTable::replaceCurrentRow(DbRow row)
{
    if (m_orderField >= 0) {
        m_rows.erase(m_rows.begin() + m_cur);
        m_cur = sortedPosition(row);
        m_rows.insert(m_rows.begin() + m_cur, std::move(row));
    } else {
        m_rows[size_t(m_cur)] = std::move(row);
    }
}
