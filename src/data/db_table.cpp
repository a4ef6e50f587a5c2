#include "db_table.h"

#include "app_error.h"
#include "db_reread_worker.h"
#include "text_forms.h"

#include <QDate>
#include <algorithm>

namespace {
// A re-read that changes more rows than this tells the controls to show every row anew:
// one reset is cheaper than thousands of single-row notices.
constexpr int MaxRowNotices = 500;

} // namespace

// ---------------------------------------------------------------- DbRecord

bool DbRecord::nullAt(int i) const
{
    if (i >= m_table.m_baseCount && !m_cells)
        return !m_calc[size_t(i - m_table.m_baseCount)].has_value();
    if (m_cells)
        return !(*m_cells)[size_t(i)].has_value();
    return m_row->isNull(i);
}

QByteArrayView DbRecord::rawAt(int i) const
{
    if (i >= m_table.m_baseCount && !m_cells) {
        const auto &c = m_calc[size_t(i - m_table.m_baseCount)];
        return c ? QByteArrayView(*c) : QByteArrayView();
    }
    if (m_cells) {
        const auto &c = (*m_cells)[size_t(i)];
        return c ? QByteArrayView(*c) : QByteArrayView();
    }
    return m_row->raw(i);
}

QString DbRecord::text(QAnyStringView column) const
{
    const int i = m_table.indexOfField(column);
    return m_table.textOf(i, rawAt(i), nullAt(i));
}

QVariant DbRecord::value(QAnyStringView column) const
{
    const int i = m_table.indexOfField(column);
    return m_table.decode(i, rawAt(i), nullAt(i));
}

bool DbRecord::isNull(QAnyStringView column) const { return nullAt(m_table.indexOfField(column)); }

void DbRecord::setCalculated(QAnyStringView column, const QVariant &v)
{
    const int i = m_table.indexOfField(column);
    if (!m_table.m_fields[size_t(i)].calculated)
        throw AppError(QStringLiteral("Field '%1' is not a calculated field").arg(column.toString()));
    m_calc[size_t(i - m_table.m_baseCount)] = m_table.encode(i, v);
}

// ---------------------------------------------------------------- DbTable

DbTable::DbTable(DbConnection &connection, const QString &tableName, QObject *parent)
    : QObject(parent), m_conn(connection), m_table(tableName)
{
    setObjectName(tableName);
    connect(&m_conn, &DbConnection::aboutToClose, this, &DbTable::close);
    connect(&m_timer, &QTimer::timeout, this, &DbTable::onTimer);
}

// The worker's thread is stopped (after a fetch under way) before the rows go.
DbTable::~DbTable() = default;

void DbTable::setSql(const QString &sql)
{
    if (isOpen())
        close();
    m_sql = sql;
    ++m_generation;
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

// ---------------------------------------------------------------- notifications

void DbTable::notifyCurrent()
{
    if (m_holdDepth > 0) {
        m_heldCurrent = true;
    } else {
        m_shownCurrent = m_cur;
        emit currentRowChanged();
    }
    emit linkValuesMayHaveChanged();
}

void DbTable::notifyReset()
{
    if (m_holdDepth > 0)
        m_heldReset = true;
    else
        emit rowsReset();
}

void DbTable::holdNotifications()
{
    if (m_holdDepth++ == 0) {
        m_heldCurrent = false;
        m_heldReset = false;
        m_shownCurrent = m_cur;
    }
}

void DbTable::releaseNotifications(const Bookmark &restore, bool bof, bool eof)
{
    // The walk's position goes; the row the screens showed comes back. Storing a pending
    // row or re-reading details may fail: the notices below are sent whatever happens.
    struct Release {
        DbTable &t;
        ~Release()
        {
            if (--t.m_holdDepth > 0)
                return;
            try {
                send();
            } catch (...) {
                // A receiver that throws must not end the program from this cleanup.
            }
        }
        void send()
        {
            if (t.m_heldReset) {
                t.m_heldReset = false;
                t.m_heldCurrent = false;
                emit t.rowsReset();
                t.m_shownCurrent = t.m_cur;
                emit t.currentRowChanged();
            } else if (t.m_heldCurrent) {
                t.m_heldCurrent = false;
                if (t.m_cur != t.m_shownCurrent) {
                    t.m_shownCurrent = t.m_cur;
                    emit t.currentRowChanged();
                }
            }
        }
    } release{*this};
    if (!isOpen())
        return;
    const int before = m_cur;
    gotoBookmark(restore);
    if (m_cur == restore.index || (restore.index < 0 && before == m_cur)) {
        m_bof = bof;
        m_eof = eof;
    }
}

void DbTable::setOrderBy(const QString &column) { m_orderBy = column; }

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

void DbTable::addCalculatedField(const QString &name, DbField::Kind kind, int width)
{
    m_calcDecl.push_back({name, {kind, width}});
}

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

QString DbTable::baseSql() const
{
    return m_sql.isEmpty() ? QStringLiteral("SELECT * FROM ") + DbConnection::quoteName(m_table) : m_sql;
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
    m_pending.clear();
    m_original.clear();
    m_modified = false;
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

int DbTable::rowIndexOfKey(const QVariant &key) const
{
    const int k = keyField();
    if (k < 0 || !key.isValid())
        return -1;
    const QByteArray wanted = key.toString().toUtf8();
    for (int i = 0; i < rowCount(); ++i)
        if (!m_rows[size_t(i)].isNull(k) && m_rows[size_t(i)].raw(k) == wanted)
            return i;
    return -1;
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
    const int oldCount = rowCount();
    const int oldCur = m_cur;
    const QVariant oldKey = bookmark().key;
    const bool keyed = keyField() >= 0;
    const int newCount = int(r.rows.size());

    if (!m_calcDecl.empty() && m_calcHook)
        for (int i = 0; i < newCount; ++i)
            if (r.fresh[size_t(i)])
                r.rows[size_t(i)] = withCalculated(std::move(r.rows[size_t(i)]));
    if (m_orderField >= m_baseCount)
        std::stable_sort(r.rows.begin(), r.rows.end(), [this](const DbRow &a, const DbRow &b) { return lessThan(a, b); });

    // What became of the held rows: removed, inserted, changed; reordered rows (or a
    // keyless table whose rows shifted) make one reset.
    std::vector<char> kept(size_t(oldCount), 0);
    bool reset = m_orderField >= m_baseCount;
    int lastHeld = -1;
    int notices = 0;
    for (int i = 0; i < newCount && !reset; ++i) {
        const int h = r.heldIndex[size_t(i)];
        if (h < 0) {
            ++notices;
            continue;
        }
        if (h <= lastHeld || h >= oldCount) {
            reset = true;
            break;
        }
        lastHeld = h;
        kept[size_t(h)] = 1;
        if (r.fresh[size_t(i)])
            ++notices;
    }
    if (!keyed && !reset) {
        // Without a key, rows are matched by position: only changes in place and rows
        // added at the end are told apart.
        for (int i = 0; i < std::min(oldCount, newCount); ++i)
            if (r.heldIndex[size_t(i)] != i)
                reset = true;
        if (newCount < oldCount)
            reset = true;
    }
    notices += oldCount - int(std::count(kept.begin(), kept.end(), 1));
    if (notices > MaxRowNotices)
        reset = true;

    m_rows = std::move(r.rows);
    ++m_generation;

    // The current row stays the one it was, wherever it now stands.
    m_cur = -1;
    if (oldCur >= 0) {
        if (keyed) {
            for (int i = 0; i < newCount; ++i)
                if (r.heldIndex[size_t(i)] == oldCur) {
                    m_cur = i;
                    break;
                }
            if (m_cur < 0 && oldKey.isValid())
                m_cur = rowIndexOfKey(oldKey);
        } else if (oldCur < newCount) {
            m_cur = oldCur;
        }
        if (m_cur < 0 && newCount > 0)
            m_cur = std::min(oldCur, newCount - 1);
    } else if (newCount > 0) {
        m_cur = 0;
    }
    if (m_cur < 0) {
        m_bof = m_eof = true;
    } else {
        m_bof = m_cur == 0 && m_bof;
        m_eof = m_eof && m_cur == newCount - 1;
    }

    // What became of the row that was current: changed on the server, or gone from it.
    const bool keptCurrent =
        oldCur >= 0 && m_cur >= 0 && (keyed ? r.heldIndex[size_t(m_cur)] == oldCur : m_cur == oldCur);
    const bool currentChanged = keptCurrent && r.fresh[size_t(m_cur)];
    const bool currentGone = keyed && oldCur >= 0 && !keptCurrent;
    if (reset) {
        notifyReset();
        notifyCurrent();
        if (currentChanged)
            emit currentRowReread();
        if (currentGone)
            emit currentRowVanished();
        return;
    }
    if (m_holdDepth == 0 || !m_heldReset) {
        for (int h = oldCount - 1; h >= 0; --h)
            if (!kept[size_t(h)])
                emit rowRemoved(h);
        for (int i = 0; i < newCount; ++i)
            if (r.heldIndex[size_t(i)] < 0)
                emit rowInserted(i);
        for (int i = 0; i < newCount; ++i)
            if (r.heldIndex[size_t(i)] >= 0 && r.fresh[size_t(i)])
                emit rowChanged(i);
    }
    if (!keptCurrent && !(oldCur < 0 && m_cur < 0))
        notifyCurrent();
    else
        emit linkValuesMayHaveChanged();
    if (currentChanged)
        emit currentRowReread();
    if (currentGone)
        emit currentRowVanished();
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
    const bool none = !m_master->isOpen()
        || std::any_of(vals.begin(), vals.end(), [](const QVariant &v) { return v.isNull(); });
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
                    [this](std::shared_ptr<DbRereadResult> result) { backgroundDone(result); }, m_fetchObserver);
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

QString DbTable::nullConversionMessage(const QString &type)
{
    return QStringLiteral("Could not convert variant of type (Null) into type (%1)").arg(type);
}

QVariant DbTable::decode(int col, QByteArrayView raw, bool null) const
{
    if (null)
        return QVariant();
    const DbField &f = m_fields[size_t(col)];
    switch (f.kind) {
    case DbField::Kind::Integer: {
        bool ok = false;
        const qlonglong v = raw.toLongLong(&ok);
        if (v >= INT_MIN && v <= INT_MAX)
            return QVariant(int(v));
        return QVariant(v);
    }
    case DbField::Kind::Float:
        return QVariant(raw.toDouble());
    case DbField::Kind::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(raw), QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? QVariant(d) : QVariant();
    }
    default:
        return QVariant(QString::fromUtf8(raw));
    }
}

QString DbTable::textOf(int col, QByteArrayView raw, bool null) const
{
    if (null)
        return QString();
    const DbField &f = m_fields[size_t(col)];
    switch (f.kind) {
    case DbField::Kind::Float: {
        // The regional form of a floating-point value: up to 15 significant digits, decimal comma.
        QString s = QString::number(raw.toDouble(), 'g', 15);
        s.replace(QLatin1Char('.'), QLatin1Char(','));
        return s;
    }
    case DbField::Kind::Date: {
        const QDate d = QDate::fromString(QString::fromLatin1(raw), QStringLiteral("yyyy-MM-dd"));
        return d.isValid() ? TextForms::formatDate(d) : QString();
    }
    default:
        return QString::fromUtf8(raw);
    }
}

std::optional<QByteArray> DbTable::encode(int col, const QVariant &v) const
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    const DbField &f = m_fields[size_t(col)];
    switch (f.kind) {
    case DbField::Kind::Integer: {
        bool ok = false;
        const qlonglong n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toLongLong(&ok) : v.toLongLong(&ok);
        if (!ok)
            throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return QByteArray::number(n);
    }
    case DbField::Kind::Float: {
        if (v.typeId() == QMetaType::QString) {
            const Decimal d = TextForms::readLocale(v.toString());
            return d.toPlain().toLatin1();
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw ConversionError(TextForms::notAFloatMessage(v.toString()));
        return QByteArray::number(d, 'g', 17);
    }
    case DbField::Kind::Date: {
        const QDate d = v.typeId() == QMetaType::QDate ? v.toDate() : TextForms::readDate(v.toString());
        return d.toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    }
    default: {
        QString s = v.typeId() == QMetaType::QDate ? TextForms::formatDate(v.toDate()) : v.toString();
        if (f.width > 0)
            s = TextForms::cutToWidth(s, f.width);
        return s.toUtf8();
    }
    }
}

bool DbTable::isNull(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing())
        return !m_pending[size_t(i)].has_value();
    if (m_cur < 0)
        return true;
    return m_rows[size_t(m_cur)].isNull(i);
}

QString DbTable::text(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing()) {
        const auto &c = m_pending[size_t(i)];
        return textOf(i, c ? QByteArrayView(*c) : QByteArrayView(), !c);
    }
    if (m_cur < 0)
        return QString();
    const DbRow &r = m_rows[size_t(m_cur)];
    return textOf(i, r.raw(i), r.isNull(i));
}

QVariant DbTable::value(QAnyStringView column) const
{
    const int i = indexOfField(column);
    if (isEditing()) {
        const auto &c = m_pending[size_t(i)];
        return decode(i, c ? QByteArrayView(*c) : QByteArrayView(), !c);
    }
    if (m_cur < 0)
        return QVariant();
    const DbRow &r = m_rows[size_t(m_cur)];
    return decode(i, r.raw(i), r.isNull(i));
}

QString DbTable::asString(QAnyStringView column) const
{
    if (isNull(column))
        throw ConversionError(nullConversionMessage(QStringLiteral("String")));
    return text(column);
}

int DbTable::asInteger(QAnyStringView column) const
{
    const QVariant v = value(column);
    if (v.isNull())
        throw ConversionError(nullConversionMessage(QStringLiteral("Integer")));
    bool ok = false;
    const int n = v.typeId() == QMetaType::QString ? v.toString().trimmed().toInt(&ok) : v.toInt(&ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    return n;
}

Decimal DbTable::amount(QAnyStringView column, AmountReading reading) const
{
    const QString t = text(column);
    return reading == AmountReading::Strict ? TextForms::readStrict(t) : TextForms::readLocale(t);
}

Decimal DbTable::amountOr(QAnyStringView column, AmountReading reading, const Decimal &fallback) const
{
    const QString t = text(column);
    Decimal v;
    const bool ok = reading == AmountReading::Strict ? TextForms::tryReadStrict(t, &v) : TextForms::tryReadLocale(t, &v);
    return ok ? v : fallback;
}

QString DbTable::textAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(m_fields.size()))
        return QString();
    const DbRow &r = m_rows[size_t(row)];
    return textOf(column, r.raw(column), r.isNull(column));
}

QVariant DbTable::valueAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= int(m_fields.size()))
        return QVariant();
    const DbRow &r = m_rows[size_t(row)];
    return decode(column, r.raw(column), r.isNull(column));
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
    const QString wanted = value.toString();
    auto matches = [&](const DbRow &r) {
        if (value.isNull())
            return r.isNull(col);
        if (r.isNull(col))
            return false;
        return textOf(col, r.raw(col), false) == wanted || decode(col, r.raw(col), false) == value;
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

// ---------------------------------------------------------------- changing

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
    if (m_modified)
        post();
    else
        cancel();
}

void DbTable::append()
{
    if (!isOpen())
        throw DbError(QStringLiteral("%1: Cannot perform this operation on a closed dataset").arg(objectName()));
    checkBrowseMode();
    m_pending.assign(m_fields.size(), std::nullopt);
    m_original.clear();
    m_dirty.assign(m_fields.size(), false);
    if (m_master) {
        const QVariantList vals = masterValues();
        for (int i = 0; i < m_detailColumns.size(); ++i)
            m_pending[size_t(indexOfField(m_detailColumns[i]))] = encode(indexOfField(m_detailColumns[i]), vals.value(i));
    }
    m_beforeInsert = m_cur;
    setState(State::Insert);
    computeCalculated(m_pending);
    if (m_newRecordHook) {
        try {
            m_newRecordHook(*this);
        } catch (...) {
            cancel();
            throw;
        }
    }
    // The defaults of a new row do not count as a change: an untouched new row is dropped.
    m_modified = false;
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
    m_pending = m_rows[size_t(m_cur)].cells();
    m_original = m_pending;
    m_dirty.assign(m_fields.size(), false);
    m_modified = false;
    setState(State::Edit);
}

void DbTable::setValue(QAnyStringView column, const QVariant &v)
{
    const int i = indexOfField(column);
    if (!isEditing())
        edit();
    m_pending[size_t(i)] = encode(i, v);
    if (!m_fields[size_t(i)].calculated) {
        m_dirty[size_t(i)] = true;
        m_modified = true;
        computeCalculated(m_pending);
    }
    emit pendingChanged(m_fields[size_t(i)].name);
}

QString DbTable::whereRow(const DbRow::Cells &original) const
{
    const int k = keyField();
    if (k >= 0 && original[size_t(k)])
        return DbConnection::quoteName(m_fields[size_t(k)].orgName) + QStringLiteral(" = ")
            + QString::fromUtf8(*original[size_t(k)]);
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

void DbTable::post()
{
    if (!isEditing())
        return;
    runBeforePostHooks();
    const QString table = DbConnection::quoteName(m_table);
    if (m_state == State::Insert) {
        QStringList cols, vals;
        for (int i = 0; i < m_baseCount; ++i) {
            const DbField &f = m_fields[size_t(i)];
            if (f.orgName.isEmpty() || !m_pending[size_t(i)])
                continue;
            cols << DbConnection::quoteName(f.orgName);
            vals << m_conn.sqlLiteral(QString::fromUtf8(*m_pending[size_t(i)]));
        }
        m_conn.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, cols.join(QLatin1Char(',')), vals.join(QLatin1Char(','))));
        const int k = keyField();
        if (k >= 0 && m_fields[size_t(k)].autoIncrement && !m_pending[size_t(k)])
            m_pending[size_t(k)] = QByteArray::number(m_conn.lastInsertId());
        computeCalculated(m_pending);
        DbRow row(m_pending);
        int pos = m_orderField >= 0 ? sortedPosition(row) : rowCount();
        m_rows.insert(m_rows.begin() + pos, std::move(row));
        ++m_generation;
        m_cur = pos;
        finishPost(-1);
        return;
    }
    {
        if (m_modified) {
            QStringList sets;
            for (int i = 0; i < m_baseCount; ++i) {
                const DbField &f = m_fields[size_t(i)];
                if (!m_dirty[size_t(i)] || f.orgName.isEmpty())
                    continue;
                const auto &c = m_pending[size_t(i)];
                sets << DbConnection::quoteName(f.orgName) + QStringLiteral(" = ")
                        + (c ? m_conn.sqlLiteral(QString::fromUtf8(*c)) : QStringLiteral("NULL"));
            }
            if (!sets.isEmpty()) {
                const bool keyed = hasStoredKey(m_original);
                const QString where = keyed ? whereUnchanged(m_original, &m_dirty) : whereRow(m_original);
                const quint64 n = m_conn.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3 LIMIT 1")
                                                  .arg(table, sets.join(QLatin1Char(',')), where));
                if (n == 0) {
                    if (keyed)
                        refuseStaleRow();
                    throw DbError(rowNotFoundMessage());
                }
            }
        }
        computeCalculated(m_pending);
        DbRow row(m_pending);
        const int from = m_cur;
        replaceCurrentRow(std::move(row));
        ++m_generation;
        finishPost(from);
    }
}

// After a store: back to browsing, and the controls hear of the one row (`from`: where
// an edited row stood, -1 for a new row).
void DbTable::finishPost(int from)
{
    m_pending.clear();
    m_original.clear();
    m_modified = false;
    m_bof = m_eof = false;
    m_state = State::Browse;
    const bool rowNotices = !(m_holdDepth > 0 && m_heldReset);
    if (rowNotices) {
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
    m_pending.clear();
    m_original.clear();
    m_modified = false;
    if (wasInsert)
        m_cur = m_beforeInsert < rowCount() ? m_beforeInsert : rowCount() - 1;
    setState(State::Browse);
    if (m_cur >= 0 && !wasInsert && !(m_holdDepth > 0 && m_heldReset))
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
    const bool keyed = hasStoredKey(original);
    const quint64 n = m_conn.exec(QStringLiteral("DELETE FROM %1 WHERE %2 LIMIT 1")
                                      .arg(DbConnection::quoteName(m_table),
                                           keyed ? whereUnchanged(original, nullptr) : whereRow(original)));
    if (n == 0) {
        if (keyed)
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
    if (!(m_holdDepth > 0 && m_heldReset))
        emit rowRemoved(removed);
    notifyCurrent();
}

// ---------------------------------------------------------------- order

bool DbTable::lessThan(const DbRow &a, const DbRow &b) const
{
    return dbRowLess(a, b, m_orderField, m_fields[size_t(m_orderField)].kind);
}

// ---------------------------------------------------------------- a command's own change

DbTable::PendingSnapshot DbTable::pendingSnapshot() const
{
    return {m_state, m_pending, m_original, m_dirty, m_modified, m_cur, m_beforeInsert};
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
    m_pending = p.pending;
    m_original = p.original;
    m_dirty = p.dirty;
    m_modified = p.modified;
    m_beforeInsert = p.beforeInsert;
    for (const DbField &f : m_fields)
        emit pendingChanged(f.name);
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

int DbTable::sortedPosition(const DbRow &row) const
{
    auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row,
                               [this](const DbRow &a, const DbRow &b) { return lessThan(a, b); });
    return int(it - m_rows.begin());
}
