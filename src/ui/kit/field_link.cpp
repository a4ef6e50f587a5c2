#include "ui/kit/field_link.h"

#include "ui/kit/command.h"
#include "ui/kit/db_editing.h"
#include "data/db_table.h"

FieldLink::FieldLink(DbTable &table, const QString &column, std::function<void()> show, QObject *parent)
    : QObject(parent), m_table(table), m_column(column), m_show(std::move(show))
{
    connect(&m_table, &DbTable::currentRowChanged, this, &FieldLink::changed);
    connect(&m_table, &DbTable::rowsReset, this, &FieldLink::changed);
    connect(&m_table, &DbTable::stateChanged, this, &FieldLink::changed);
    connect(&m_table, &DbTable::rowChanged, this, [this](int row) {
        if (row == m_table.currentIndex())
            changed();
    });
    connect(&m_table, &DbTable::pendingChanged, this, [this](const QString &column) {
        if (column.compare(m_column, Qt::CaseInsensitive) == 0)
            changed();
    });
}

bool FieldLink::isActive() const { return m_table.isOpen() && m_table.hasField(m_column); }

const DbField *FieldLink::field() const { return isActive() ? &m_table.field(m_column) : nullptr; }

int FieldLink::width() const { return width(m_table, m_column); }

int FieldLink::width(const DbTable &table, const QString &column)
{
    if (!table.isOpen() || !table.hasField(column))
        return 0;
    const DbField &f = table.field(column);
    return f.isText() ? f.width : 0;
}

int FieldLink::maxLength(const DbTable &table, const QString &column)
{
    const int w = width(table, column);
    return w > 0 ? w : 32767;
}

void FieldLink::storeInput(DbTable &table, const QString &column, const QVariant &value)
{
    const bool emptyText = value.typeId() == QMetaType::QString && value.toString().isEmpty();
    if (emptyText && table.hasField(column) && !table.field(column).isText())
        table.setNull(column);
    else
        table.setValue(column, value);
}

QString FieldLink::text() const { return isActive() ? m_table.text(m_column) : QString(); }

QVariant FieldLink::value() const { return isActive() ? m_table.value(m_column) : QVariant(); }

bool FieldLink::write(const QVariant &value)
{
    return whileWriting([&] {
        beginEdit(m_table);
        storeInput(m_table, m_column, value);
    });
}

bool FieldLink::startEditing()
{
    return whileWriting([&] { beginEdit(m_table); });
}

// The control keeps what the user typed while the row changes under it; it is shown
// anew once the change is done.
bool FieldLink::whileWriting(const std::function<void()> &change)
{
    m_writing = true;
    const bool ok = runCommand(change);
    m_writing = false;
    changed();
    return ok;
}

void FieldLink::changed()
{
    if (!m_writing && m_show)
        m_show();
}
