#include "ui/kit/db_grid.h"

#include "ui/kit/command.h"
#include "ui/kit/db_grid_delegate.h"
#include "data/db_table.h"
#include "ui/kit/ui_messages.h"

#include <QHeaderView>
#include <QKeyEvent>

DbGrid::DbGrid(DbTable &table, const QList<GridColumn> &columns, QWidget *parent)
    : QTableView(parent), m_model(new DbGridModel(table, columns, this)),
      m_delegate(new DbGridDelegate(*m_model, this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    m_hookTable = &table;
    m_beforePostHook = table.addBeforePostHook([this](DbTable &) { takeOpenEditorText(); });
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < columns.size(); ++c)
        if (columns[c].width > 0)
            setColumnWidth(c, columns[c].width);
    setReadOnly(false);
    connect(m_model, &DbGridModel::currentRowMoved, this, &DbGrid::showCurrentRow);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { lineChosen(current); });
    showCurrentRow();
}

DbGrid::~DbGrid()
{
    if (m_hookTable)
        m_hookTable->removeBeforePostHook(m_beforePostHook);
}

// The text of a cell editor still open goes into the row about to be stored.
void DbGrid::takeOpenEditorText()
{
    if (QWidget *editor = m_delegate->openEditor(); editor && state() == EditingState)
        commitData(editor);
}

void DbGrid::setReadOnly(bool readOnly)
{
    m_model->setReadOnly(readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed
                                   | QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
}

void DbGrid::setRowSelect(bool rowSelect)
{
    setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    showCurrentRow();
}

void DbGrid::setAlwaysShowSelection(bool always)
{
    QPalette p = palette();
    const QPalette::ColorGroup from = always ? QPalette::Active : QPalette::Inactive;
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(from, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(from, QPalette::HighlightedText));
    setPalette(p);
}

void DbGrid::showCurrentRow()
{
    const int row = m_model->currentRow();
    const int column = std::max(currentIndex().column(), 0);
    m_showing = true;
    if (row < 0 || m_model->columnCount() == 0) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    } else if (currentIndex().row() != row || !selectionModel()->isRowSelected(row, {})) {
        const QModelIndex target = m_model->index(row, column);
        const auto flags = QItemSelectionModel::ClearAndSelect
            | (selectionBehavior() == SelectRows ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate);
        selectionModel()->setCurrentIndex(target, flags);
        scrollTo(target);
    }
    m_showing = false;
}

void DbGrid::lineChosen(const QModelIndex &current)
{
    if (m_showing || m_model->isChangingRows() || !current.isValid() || current.row() == m_model->currentRow())
        return;
    const int row = current.row();
    runCommand([&] { table().moveTo(row); });
    // A stored or dropped pending row may have moved the lines: show where the table is.
    showCurrentRow();
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier) && !m_model->isReadOnly()) {
        event->accept();
        runCommand([this] {
            if (table().isOpen() && (!table().isEmpty() || table().isEditing())
                && uiMessages().confirmOkCancel(QStringLiteral("Delete record?"))) {
                if (m_deleteAction)
                    m_deleteAction();
                else
                    table().remove();
            }
        });
        return;
    }
    QTableView::keyPressEvent(event);
}
