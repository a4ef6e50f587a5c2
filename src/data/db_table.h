#pragma once
// A table object: the rows of one table (or of one statement) held in memory with a
// current row, the browse/edit/insert states, master/detail links, calculated fields,
// a presentation order and a periodic re-read. Screens, grids and operations all work
// on the current row of a shared table object.
//
// The class holds the rows, the current row and the state; its work is filed by job:
// db_table.cpp (configuration, opening, reading, navigation), db_table_edit.cpp (the
// pending row and storing it), db_table_reread.cpp (re-reads), db_table_master.cpp
// (following a master), db_table_stale.cpp (rows changed on another desk). Helpers that
// know no table object: db_values (cell values), db_row_statements (the statements of one
// row), db_reread_difference (what a re-read changed), db_notices (held notices).
#include "data/db_connection.h"
#include "data/db_field.h"
#include "data/db_notices.h"
#include "data/db_pending_row.h"
#include "data/db_record.h"
#include "data/db_reread.h"
#include "data/db_row.h"
#include "data/db_values.h"
#include "data/decimal.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QAnyStringView>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class DbRereadWorker;
class DbRowStatements;
struct DbRereadDifference;

class DbTable : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    DbTable(DbConnection &connection, const QString &tableName, QObject *parent = nullptr);
    ~DbTable() override;

    // --- configuration ---
    QString tableName() const { return m_table; }
    DbConnection &connection() const { return m_conn; }
    // Replaces the fetch statement (the table is closed first: a pending row is dropped).
    // An empty statement means every column of every row of the table.
    void setSql(const QString &sql);
    QString sql() const { return m_sql; }
    // Rows are kept ascending by this column, whatever the statement's order.
    void setOrderBy(const QString &column);
    // Master/detail link: this table holds only the rows whose detailColumns equal the
    // master's current masterColumns, re-read when those values change.
    void setMaster(DbTable *master, const QStringList &masterColumns, const QStringList &detailColumns);
    DbTable *master() const { return m_master; }
    void addCalculatedField(const QString &name, DbField::Kind kind = DbField::Kind::Text, int width = 0);
    void setCalcFieldsHook(std::function<void(DbRecord &)> hook) { m_calcHook = std::move(hook); }
    // Runs after append() has made the new row (and set the link values).
    void setNewRecordHook(std::function<void(DbTable &)> hook) { m_newRecordHook = std::move(hook); }
    // Columns the statement must return: opening fails when one is missing.
    void setRequiredFields(const QStringList &names) { m_required = names; }
    // Periodic re-read while open and browsing; 0 turns it off. It fetches on a thread
    // and a connection of its own and applies only what differs, on this object's thread,
    // unless a row is being edited or inserted meanwhile (then the next interval tries
    // again). A failing re-read is reported once (refreshFailed), retried at every
    // interval, and the table resumes silently when the server answers (refreshRecovered).
    void setRefreshInterval(int ms);
    int refreshInterval() const { return m_refreshMs; }
    bool isRefreshFailing() const { return m_refreshFailing; }

    // Runs before every store of a pending row, whatever asks for it (post(), a navigator,
    // moving to another row): an error it raises refuses the row, which stays pending,
    // before anything reaches the server. Returns an id for removeBeforePostHook().
    int addBeforePostHook(std::function<void(DbTable &)> hook);
    void removeBeforePostHook(int id);

    // --- lifecycle ---
    void open();
    void close();     // drops a pending row
    // Fetches the rows again, keeping the current row where possible; bound controls
    // hear only of the rows that differ.
    void refresh();
    // The re-read a user asks for on a table that re-reads itself periodically: a pending
    // row is stored first, then the rows are fetched as the periodic re-read fetches them
    // (on its thread) and applied when they arrive; the caller does not wait.
    void rereadInBackground();
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool isModified() const { return m_pending.modified; }

    // --- navigation ---
    void first();
    void last();
    void next();
    void prior();
    void moveTo(int row);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return m_rows.empty(); }
    int rowCount() const { return int(m_rows.size()); }
    int currentIndex() const { return m_cur; }
    // True while the tables following this one hear of a row just stored new, with a key
    // the server gave it, inside a transaction still open on this table's connection: no
    // other desk can see that row yet and nothing stored refers to its key.
    bool currentRowIsNewInOpenTransaction() const { return m_announcingNewRow && m_conn.inTransaction(); }
    bool locate(QAnyStringView column, const QVariant &value);

    // A remembered row: by its key where the table has one, else by position.
    struct Bookmark { QVariant key; int index = -1; };
    Bookmark bookmark() const;
    void gotoBookmark(const Bookmark &b);

    // --- reading the current row (the pending row while editing) ---
    // Columns are named by any string view (QString, u"name", "name", QLatin1StringView),
    // regardless of case.
    const std::vector<DbField> &fields() const { return m_fields; }
    int fieldIndex(QAnyStringView column) const;   // -1 when absent
    int indexOfField(QAnyStringView column) const; // raises when absent
    bool hasField(QAnyStringView column) const { return fieldIndex(column) >= 0; }
    const DbField &field(QAnyStringView column) const;
    QString text(QAnyStringView column) const;      // NULL gives empty text
    QVariant value(QAnyStringView column) const;    // NULL gives a null QVariant
    bool isNull(QAnyStringView column) const;
    // The value converted; NULL raises "Could not convert variant of type (Null) into type (...)".
    QString asString(QAnyStringView column) const;
    int asInteger(QAnyStringView column) const;
    // The amount text of the column read by the named reading; a text that does not read
    // (empty text and NULL included) raises ConversionError "'…' is not a valid floating
    // point value". amountOr() gives `fallback` for such a text instead.
    Decimal amount(QAnyStringView column, AmountReading reading) const;
    Decimal amountOr(QAnyStringView column, AmountReading reading, const Decimal &fallback) const;
    // Reading of any row, for grids.
    QString textAt(int row, int column) const;
    QVariant valueAt(int row, int column) const;

    // --- changing ---
    void append();
    void edit();
    // Puts the row into editing. A text longer than its column is cut to the column's
    // width in characters (code points), never inside one.
    void setValue(QAnyStringView column, const QVariant &v);
    void setText(QAnyStringView column, const QString &t) { setValue(column, t); }
    void setNull(QAnyStringView column) { setValue(column, QVariant()); }
    void post();
    void cancel();
    void remove();
    // Posts a changed pending row, drops an unchanged one.
    void checkBrowseMode();

    // Several desks share the server. A stored row of a keyed table is changed only while
    // the columns the change touches still hold on the server what this table read, and
    // deleted only while the whole row does; otherwise post() / remove() drop the pending
    // change, show the row as stored now (or no longer, when it was deleted) and raise
    // DbError(staleRowMessage()).
    static QString staleRowMessage();
    // A keyless row that is no longer on the server as it was read (the table keeps it pending).
    static QString rowNotFoundMessage();
    // Re-reads the current row from the server by its key (a pending row is stored or
    // dropped first, as a move would). A row gone from the server leaves the held rows,
    // the neighbour becomes current and false is returned. Tables without a key: no-op.
    bool rereadCurrent();

    static QString nullConversionMessage(const QString &type);

    // --- the pending row as a whole, for a command that undoes its own change (DbOwnChange) ---
    struct PendingSnapshot {
        State state = State::Inactive;
        int current = -1;
        DbPendingRow row;
    };
    PendingSnapshot pendingSnapshot() const { return {m_state, m_cur, m_pending}; }
    // Gives the pending row of `snapshot` back while the table is pending the same way (the
    // same state and, for an edit, the same row); otherwise drops the pending row.
    void restorePending(const PendingSnapshot &snapshot);

    // --- notices held back during a walk over the rows (DbQuietWalk) ---
    void holdNotifications() { m_notices.hold(); }
    // Back to `restore` (with the bof/eof it had); then the held notices are sent.
    void releaseNotifications(const Bookmark &restore, bool bof, bool eof);

signals:
    // Another row became current (also after a reset, or when a re-read replaced it).
    void currentRowChanged();
    // Every row may differ: opened, closed, the statement replaced, a detail following
    // its master to another row. Other changes come row by row:
    void rowsReset();
    void rowChanged(int row);           // a stored row's values changed
    void rowInserted(int row);          // a row now stands at `row`
    void rowRemoved(int row);           // the row at `row` is gone
    void rowMoved(int from, int to);    // a stored row moved by the presentation order (`to`: its new index)
    void pendingChanged(const QString &column);  // a column of the pending row was set
    void stateChanged();
    // A re-read (periodic or not) found the current row changed on the server; it stays current.
    void currentRowReread();
    // A re-read found the current row of a keyed table gone from the server: another row
    // (or none) is current now, and nothing opened on the old row may follow it there.
    void currentRowVanished();
    void refreshFailed(const QString &text);     // a periodic re-read began to fail
    void refreshRecovered();                      // ... and works again
    // The current row's values may have changed in some way (sent even while a walk holds
    // back currentRowChanged): detail tables follow their master through it.
    void linkValuesMayHaveChanged();

private:
    // Rows, fields and position (db_table.cpp).
    void notifyCurrent() { m_notices.currentMoved(); }
    void notifyReset() { m_notices.reset(); }
    void runBeforePostHooks();
    QString baseSql() const;
    void fetch();
    void computeCalculated(DbRow::Cells &cells) const;
    DbRow withCalculated(DbRow row) const;
    int keyField() const;
    void setCurrent(int index);
    bool lessThan(const DbRow &a, const DbRow &b) const;
    int sortedPosition(const DbRow &row) const;
    // Puts `row` in place of the current row, moved to its sorted place in an ordered table.
    void replaceCurrentRow(DbRow row);
    // The pending row (db_table_edit.cpp).
    DbRowStatements statements() const;
    void setState(State s);
    void finishPost(int from);
    void dropPending() { m_pending = DbPendingRow(); }
    // Re-reads (db_table_reread.cpp).
    DbRereadRequest rereadRequest() const;
    void onTimer();
    void backgroundDone(const std::shared_ptr<DbRereadResult> &result);
    void applyReread(DbRereadResult &result);
    void emitRowNotices(const DbRereadResult &result, const DbRereadDifference &difference);
    // Following a master (db_table_master.cpp).
    QString fetchSql() const;
    QVariantList masterValues() const;
    void masterMoved();
    // Rows changed on another desk (db_table_stale.cpp).
    [[noreturn]] void refuseStaleRow();

    DbConnection &m_conn;
    QString m_table;
    QString m_sql;
    QString m_orderBy;
    int m_orderField = -1;
    DbTable *m_master = nullptr;
    QStringList m_masterColumns, m_detailColumns;
    QVariantList m_linkValues;
    QStringList m_required;
    std::vector<std::pair<QString, std::pair<DbField::Kind, int>>> m_calcDecl;
    std::function<void(DbRecord &)> m_calcHook;
    std::function<void(DbTable &)> m_newRecordHook;

    std::vector<DbField> m_fields;
    QHash<QString, int> m_fieldIndex;  // lower-case name -> index
    int m_baseCount = 0;               // fields returned by the server; calculated ones follow
    std::vector<DbRow> m_rows;
    int m_cur = -1;
    bool m_eof = true, m_bof = true;
    State m_state = State::Inactive;
    DbPendingRow m_pending;

    QTimer m_timer;
    int m_refreshMs = 0;
    bool m_refreshFailing = false;
    bool m_fetching = false;
    bool m_rereadAgain = false;  // a re-read asked for while another was under way
    quint64 m_generation = 0;  // counts every change of the held rows
    bool m_announcingNewRow = false;  // see currentRowIsNewInOpenTransaction()
    std::unique_ptr<DbRereadWorker> m_worker;
    std::vector<std::pair<int, std::function<void(DbTable &)>>> m_beforePost;
    int m_nextHookId = 1;

    DbNotices m_notices{*this};
};
