#pragma once
// The rows of a table object as an item model for a grid: the chosen columns with
// their titles, alignment and pick lists. While a row is being edited the grid shows
// its pending values; a new row being inserted shows as an extra last row. Editing a
// cell moves the table to that row, puts it into editing and sets the column.
// The views hear of each row the table stores, inserts, removes or moves on its own;
// only an open, a close, a replaced statement (or a re-read that changed very many
// rows) shows every row anew, so selection and scroll position stay put.
#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <functional>
#include <optional>

class DbTable;

struct GridColumn {
    GridColumn(const QString &field, const QString &title = {}, Qt::Alignment alignment = Qt::AlignLeft,
               const QStringList &pickList = {}, bool readOnly = false, int width = 0)
        : field(field), title(title), alignment(alignment), pickList(pickList), readOnly(readOnly), width(width)
    {
    }

    QString field;
    QString title;  // empty: the column's name
    Qt::Alignment alignment;
    QStringList pickList;  // offered by the cell editor
    bool readOnly;
    int width;  // pixels; 0 leaves the grid's default
};

// How a whole row is drawn instead of the normal look.
struct RowStyle {
    QColor background;
    QColor foreground;
};

class DbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using RowStyleHook = std::function<std::optional<RowStyle>(const DbTable &table, int row)>;

    DbGridModel(DbTable &table, const QList<GridColumn> &columns, QObject *parent = nullptr);

    DbTable &table() const { return m_table; }
    const GridColumn &column(int c) const { return m_columns.at(c); }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }
    // Asked for every row drawn; a style repaints the whole row.
    void setRowStyleHook(RowStyleHook hook);
    std::optional<RowStyle> rowStyle(int row) const;
    // The grid row of the table's current row (the new row while inserting); -1 for none.
    int currentRow() const;
    // The text a cell shows.
    QString cellText(int row, int column) const;
    // Times the model told its views that every row may differ (for tests).
    int resetCount() const { return m_resets; }
    // Rows are being inserted, removed or moved: a view's current line may shift on its
    // own meanwhile, which is no choice of the user.
    bool isChangingRows() const { return m_changingRows; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // The table's current row moved (or the rows were re-read).
    void currentRowMoved();

private:
    int shownRows() const;
    bool countsAgree() const;
    void resetRows();
    void stateChanged();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowMoved(int from, int to);
    void rowValuesChanged(int row);

    DbTable &m_table;
    QList<GridColumn> m_columns;
    bool m_readOnly = false;
    RowStyleHook m_rowStyle;
    int m_tableRows = 0;        // stored rows the views know of
    bool m_newRowShown = false; // the pending new row shows as an extra last line
    int m_resets = 0;
    bool m_changingRows = false;
    struct ChangingRows {
        DbGridModel &m;
        explicit ChangingRows(DbGridModel &model) : m(model) { m.m_changingRows = true; }
        ~ChangingRows() { m.m_changingRows = false; }
    };
};
