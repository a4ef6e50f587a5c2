#include "ui/kit/bound_form.h"

#include "ui/kit/db_amount_edit.h"
#include "ui/kit/db_combo_box.h"
#include "ui/kit/db_edit.h"

#include <QLabel>

BoundForm::BoundForm(QWidget *panel, DbTable &table, int labelAbove)
    : m_panel(panel), m_table(table), m_labelAbove(labelAbove)
{
}

QLabel *BoundForm::addCaption(const QString &caption, QPoint at)
{
    auto *label = new QLabel(caption, m_panel);
    label->move(at);
    label->adjustSize();
    return label;
}

void BoundForm::addToTabOrder(QWidget *control)
{
    if (!m_tabOrder.isEmpty())
        QWidget::setTabOrder(m_tabOrder.last(), control);
    m_tabOrder << control;
}

void BoundForm::place(const QString &caption, const QString &column, QWidget *control, QRect box, QPoint captionAt)
{
    control->setParent(m_panel);
    control->setGeometry(box);
    if (!caption.isEmpty()) {
        QLabel *label = addCaption(caption, captionAt.isNull() ? QPoint(box.left(), box.top() - m_labelAbove) : captionAt);
        label->setBuddy(control);
        if (!column.isEmpty() && !m_captions.contains(column))
            m_captions.insert(column, label);
    }
    if (!column.isEmpty() && !m_byColumn.contains(column))
        m_byColumn.insert(column, control);
    addToTabOrder(control);
}

DbEdit *BoundForm::addEdit(const QString &caption, const QString &column, QRect box, QPoint captionAt)
{
    auto *edit = new DbEdit(m_table, column, m_panel);
    place(caption, column, edit, box, captionAt);
    return edit;
}

DbAmountEdit *BoundForm::addAmount(const QString &caption, const QString &column, QRect box, QPoint captionAt)
{
    auto *edit = new DbAmountEdit(m_table, column, m_panel);
    place(caption, column, edit, box, captionAt);
    return edit;
}

DbComboBox *BoundForm::addCombo(const QString &caption, const QString &column, const QStringList &items, QRect box,
                                QPoint captionAt)
{
    auto *combo = new DbComboBox(m_table, column, items, m_panel);
    place(caption, column, combo, box, captionAt);
    return combo;
}

QWidget *BoundForm::add(const QString &caption, QWidget *control, QRect box, QPoint captionAt)
{
    place(caption, control->objectName(), control, box, captionAt);
    return control;
}
