#pragma once
// A table object: the rows of one table (or of one statement) held in memory with a
// current row, the browse/edit/insert states, master/detail links, calculated fields,
// a presentation order and a periodic re-read. Screens, grids and operations all work
// on the current row of a shared table object.
#include "db_connection.h"
#include "db_field.h"
#include "db_row.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class DbTable;

// Read access to one row of a table object, and the setter of calculated fields, for hooks.
class DbRecord {
public:
    // Reads from `row`, or from `cells` where given; calculated values go to `calc`.
    DbRecord(const DbTable &table, const DbRow *row, const DbRow::Cells *cells, DbRow::Cells &calc)
        : m_table(table), m_row(row), m_cells(cells), m_calc(calc) {}
    QString text(const QString &column) const;
    QVariant value(const QString &column) const;
    bool isNull(const QString &column) const;
    void setCalculated(const QString &column, const QVariant &v);

private:
    bool nullAt(int i) const;
    QByteArrayView rawAt(int i) const;
    const DbTable &m_table;
    const DbRow *m_row;
    const DbRow::Cells *m_cells;
    DbRow::Cells &m_calc;
};

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
    // Periodic re-read while open and browsing; 0 turns it off.
    void setRefreshInterval(int ms);
    int refreshInterval() const { return m_refreshMs; }

    // --- lifecycle ---
    void open();
    void close();     // drops a pending row
    void refresh();   // fetches the rows again, keeping the current row where possible
    bool isOpen() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    bool isEditing() const { return m_state == State::Edit || m_state == State::Insert; }
    bool isModified() const { return m_modified; }

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
    bool locate(const QString &column, const QVariant &value);

    // A remembered row: by its key where the table has one, else by position.
    struct Bookmark { QVariant key; int index = -1; };
    Bookmark bookmark() const;
    void gotoBookmark(const Bookmark &b);

    // --- reading the current row (the pending row while editing) ---
    const std::vector<DbField> &fields() const { return m_fields; }
    int fieldIndex(const QString &column) const;   // -1 when absent
    int indexOfField(const QString &column) const; // raises when absent
    bool hasField(const QString &column) const { return fieldIndex(column) >= 0; }
    const DbField &field(const QString &column) const;
    QString text(const QString &column) const;      // NULL gives empty text
    QVariant value(const QString &column) const;    // NULL gives a null QVariant
    bool isNull(const QString &column) const;
    // The value converted; NULL raises "Could not convert variant of type (Null) into type (...)".
    QString asString(const QString &column) const;
    int asInteger(const QString &column) const;
    // Reading of any row, for grids.
    QString textAt(int row, int column) const;
    QVariant valueAt(int row, int column) const;

    // --- changing ---
    void append();
    void edit();
    void setValue(const QString &column, const QVariant &v);  // puts the row into editing
    void setText(const QString &column, const QString &t) { setValue(column, t); }
    void setNull(const QString &column) { setValue(column, QVariant()); }
    void post();
    void cancel();
    void remove();
    // Posts a changed pending row, drops an unchanged one.
    void checkBrowseMode();

    static QString nullConversionMessage(const QString &type);

signals:
    void currentRowChanged();        // another row became current (or the rows were re-read)
    void rowsReset();                // opened, closed or re-read
    void rowChanged(int row);        // a stored row's values changed
    void pendingChanged(const QString &column);  // a column of the pending row was set
    void stateChanged();
    void refreshFailed(const QString &text);

private:
    friend class DbRecord;
    QString baseSql() const;
    QString fetchSql() const;
    void fetch(bool keepPosition);
    void masterMoved();
    QVariantList masterValues() const;
    void computeCalculated(DbRow::Cells &cells) const;
    DbRow withCalculated(DbRow row) const;
    QString textOf(int col, QByteArrayView raw, bool null) const;
    QVariant decode(int col, QByteArrayView raw, bool null) const;
    std::optional<QByteArray> encode(int col, const QVariant &v) const;
    QString whereRow(const DbRow::Cells &original) const;
    int keyField() const;
    int sortedPosition(const DbRow &row) const;
    bool lessThan(const DbRow &a, const DbRow &b) const;
    void setCurrent(int index);
    void setState(State s);
    void onTimer();

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
    DbRow::Cells m_pending;
    DbRow::Cells m_original;
    std::vector<bool> m_dirty;
    bool m_modified = false;
    int m_beforeInsert = -1;

    QTimer m_timer;
    int m_refreshMs = 0;
};
