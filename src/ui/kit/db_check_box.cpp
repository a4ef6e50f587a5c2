#include "ui/kit/db_check_box.h"

#include "ui/kit/field_link.h"

DbCheckBox::DbCheckBox(DbTable &table, const QString &column, const QString &caption, QWidget *parent)
    : QCheckBox(caption, parent), m_link(new FieldLink(table, column, [this] { showColumn(); }, this))
{
    setObjectName(column);
    // clicked() comes only from the user (mouse or space bar), never from setChecked().
    connect(this, &QCheckBox::clicked, this, [this](bool ticked) {
        if (m_link->isActive())
            m_link->write(ticked ? 1 : 0);
        else
            showColumn();
    });
    showColumn();
}

void DbCheckBox::showColumn()
{
    const QVariant v = m_link->value();
    setChecked(!v.isNull() && v.toInt() != 0);
}
