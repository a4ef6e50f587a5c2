#pragma once
// A grid bound to a table object: one line per row, the current row of the table is the
// current line of the grid and choosing a line moves the table there (storing or
// dropping a pending row first). Editable grids edit in place (typing, F2 or a
// double-click open the cell editor); Ctrl+Delete deletes the current row after
// "Delete record?". Whatever stores the row (the navigator's post button, a command)
// first takes the text of a cell editor still open into it, so nothing shown is lost.
#include "ui/kit/db_grid_model.h"

#include <QPointer>
#include <QTableView>

class DbGridDelegate;

class DbGrid : public QTableView {
    Q_OBJECT
public:
    DbGrid(DbTable &table, const QList<GridColumn> &columns, QWidget *parent = nullptr);
    ~DbGrid() override;

    DbGridModel &gridModel() const { return *m_model; }
    DbTable &table() const { return m_model->table(); }
    // A read-only grid shows and moves; no cell is edited and no row deleted.
    void setReadOnly(bool readOnly);
    // The whole line is selected, not a single cell.
    void setRowSelect(bool rowSelect);
    // The selection keeps its colour while the grid has no focus.
    void setAlwaysShowSelection(bool always);
    void setRowStyleHook(DbGridModel::RowStyleHook hook) { m_model->setRowStyleHook(std::move(hook)); }
    // What Ctrl+Delete does once "Delete record?" is answered OK; by default the table
    // deletes its current row.
    void setDeleteAction(std::function<void()> action) { m_deleteAction = std::move(action); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showCurrentRow();
    void lineChosen(const QModelIndex &current);
    void takeOpenEditorText();

    DbGridModel *m_model;
    DbGridDelegate *m_delegate;
    QPointer<DbTable> m_hookTable;  // a table may end before its grid
    int m_beforePostHook = -1;
    bool m_showing = false;
    std::function<void()> m_deleteAction;
};
