#include "ui/kit/db_combo_box.h"

#include "ui/kit/field_link.h"

#include <QLineEdit>

DbComboBox::DbComboBox(DbTable &table, const QString &column, const QStringList &items, QWidget *parent)
    : QComboBox(parent), m_link(new FieldLink(table, column, [this] { showColumn(); }, this))
{
    setObjectName(column);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // the box holds what was typed, nothing completed on the way
    addItems(items);
    // Only the user's own typing and choosing reach the row.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &typed) { m_link->write(typed); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_link->isActive())
            m_link->write(itemText(index));
        else
            showColumn();
    });
    showColumn();
}

void DbComboBox::showColumn()
{
    const bool active = m_link->isActive();
    lineEdit()->setReadOnly(!active);
    lineEdit()->setMaxLength(m_link->maxLength());
    const QString shown = m_link->text();
    if (shown == currentText())
        return;
    const QSignalBlocker block(this);
    setCurrentIndex(findText(shown, Qt::MatchExactly | Qt::MatchCaseSensitive));
    setEditText(shown);
}
