#include "ui/kit/db_grid_model.h"

#include "ui/kit/command.h"
#include "ui/kit/db_editing.h"
#include "data/db_table.h"
#include "ui/kit/field_link.h"

DbGridModel::DbGridModel(DbTable &table, const QList<GridColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_columns(columns)
{
    m_tableRows = m_table.isOpen() ? m_table.rowCount() : 0;
    m_newRowShown = m_table.state() == DbTable::State::Insert;
    connect(&m_table, &DbTable::rowsReset, this, &DbGridModel::resetRows);
    connect(&m_table, &DbTable::stateChanged, this, &DbGridModel::stateChanged);
    connect(&m_table, &DbTable::currentRowChanged, this, [this] {
        if (m_changingRows)
            return;  // told again once the change of rows is complete
        if (!countsAgree())
            resetRows();
        emit currentRowMoved();
    });
    connect(&m_table, &DbTable::rowChanged, this, &DbGridModel::rowValuesChanged);
    connect(&m_table, &DbTable::rowInserted, this, &DbGridModel::rowInserted);
    connect(&m_table, &DbTable::rowRemoved, this, &DbGridModel::rowRemoved);
    connect(&m_table, &DbTable::rowMoved, this, &DbGridModel::rowMoved);
    connect(&m_table, &DbTable::pendingChanged, this, [this] { rowValuesChanged(currentRow()); });
}

int DbGridModel::shownRows() const { return m_tableRows + (m_newRowShown ? 1 : 0); }

bool DbGridModel::countsAgree() const
{
    const int rows = m_table.isOpen() ? m_table.rowCount() : 0;
    return rows == m_tableRows && m_newRowShown == (m_table.state() == DbTable::State::Insert);
}

void DbGridModel::resetRows()
{
    beginResetModel();
    m_tableRows = m_table.isOpen() ? m_table.rowCount() : 0;
    m_newRowShown = m_table.state() == DbTable::State::Insert;
    endResetModel();
    ++m_resets;
    emit currentRowMoved();
}

// The new row of an insert shows as an extra last line while it is pending.
void DbGridModel::stateChanged()
{
    const bool inserting = m_table.state() == DbTable::State::Insert;
    if (inserting && !m_newRowShown) {
        const ChangingRows changing(*this);
        beginInsertRows({}, shownRows(), shownRows());
        m_newRowShown = true;
        endInsertRows();
    } else if (!inserting && m_newRowShown) {
        // Dropped (a stored new row has already been told as inserted).
        const ChangingRows changing(*this);
        beginRemoveRows({}, m_tableRows, m_tableRows);
        m_newRowShown = false;
        endRemoveRows();
    }
    if (!countsAgree()) {
        resetRows();
        return;
    }
    rowValuesChanged(currentRow());
}

void DbGridModel::rowInserted(int row)
{
    const ChangingRows changing(*this);
    if (m_newRowShown) {
        // The pending new line becomes the stored row at `row`.
        const int from = m_tableRows;
        m_newRowShown = false;
        if (from != row) {
            beginMoveRows({}, from, from, {}, row);
            ++m_tableRows;
            endMoveRows();
        } else {
            ++m_tableRows;
        }
    } else {
        beginInsertRows({}, row, row);
        ++m_tableRows;
        endInsertRows();
    }
    rowValuesChanged(row);
}

void DbGridModel::rowRemoved(int row)
{
    const ChangingRows changing(*this);
    beginRemoveRows({}, row, row);
    --m_tableRows;
    endRemoveRows();
}

void DbGridModel::rowMoved(int from, int to)
{
    // Qt names the destination as the row before which the moved row lands.
    const ChangingRows changing(*this);
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    endMoveRows();
}

void DbGridModel::rowValuesChanged(int row)
{
    if (row >= 0 && row < shownRows() && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void DbGridModel::setRowStyleHook(RowStyleHook hook) { m_rowStyle = std::move(hook); }

std::optional<RowStyle> DbGridModel::rowStyle(int row) const
{
    if (!m_rowStyle || row < 0 || row >= m_table.rowCount())
        return std::nullopt;
    return m_rowStyle(m_table, row);
}

int DbGridModel::currentRow() const
{
    if (!m_table.isOpen())
        return -1;
    if (m_table.state() == DbTable::State::Insert)
        return m_table.rowCount();
    return m_table.currentIndex();
}

QString DbGridModel::cellText(int row, int column) const
{
    if (column < 0 || column >= m_columns.size() || !m_table.isOpen())
        return QString();
    const QString &field = m_columns[column].field;
    const int fieldIndex = m_table.fieldIndex(field);
    if (fieldIndex < 0)
        return QString();
    if (row == currentRow() && m_table.isEditing())
        return m_table.text(field);
    return m_table.textAt(row, fieldIndex);
}

int DbGridModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : shownRows(); }

int DbGridModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant DbGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns[index.column()].alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GridColumn &c = m_columns[section];
    if (role == Qt::DisplayRole)
        return c.title.isEmpty() ? c.field : c.title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags DbGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    const GridColumn &c = m_columns[index.column()];
    const int fieldIndex = m_table.isOpen() ? m_table.fieldIndex(c.field) : -1;
    if (!m_readOnly && !c.readOnly && fieldIndex >= 0 && !m_table.fields()[size_t(fieldIndex)].calculated)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DbGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString field = m_columns[index.column()].field;
    const int row = index.row();
    return runCommand([&] {
        if (row != currentRow())
            m_table.moveTo(row);
        beginEdit(m_table);
        FieldLink::storeInput(m_table, field, value);
    });
}
