#include "bound_panel.h"

#include "db_combo_box.h"
#include "db_table.h"

#include <QLabel>

BoundPanel::BoundPanel(DbTable &table, QWidget *parent) : QFrame(parent), m_table(table)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

QLabel *BoundPanel::addLabel(const QString &caption, QPoint at)
{
    auto *label = new QLabel(caption, this);
    label->move(at);
    label->adjustSize();
    return label;
}

DbEdit *BoundPanel::addEdit(const QString &label, const QString &column, QRect box, DbEdit::CharCase charCase)
{
    addLabel(label, {box.left(), box.top() - LabelAbove});
    auto *edit = new DbEdit(m_table, column, this);
    edit->setCharCase(charCase);
    edit->setGeometry(box);
    m_boxes.insert(column, edit);
    m_tabOrder << edit;
    return edit;
}

DbComboBox *BoundPanel::addCombo(const QString &label, const QString &column, const QStringList &items, QRect box)
{
    addLabel(label, {box.left(), box.top() - LabelAbove});
    auto *combo = new DbComboBox(m_table, column, items, this);
    combo->setGeometry(box);
    m_boxes.insert(column, combo);
    m_tabOrder << combo;
    return combo;
}

void BoundPanel::addControl(QWidget *control, QRect geometry)
{
    control->setParent(this);
    control->setGeometry(geometry);
    m_tabOrder << control;
}

DbEdit *BoundPanel::edit(const QString &column) const { return qobject_cast<DbEdit *>(box(column)); }

void chainTabOrder(const QList<QWidget *> &controls)
{
    QList<QWidget *> flat;
    for (QWidget *c : controls) {
        if (auto *panel = qobject_cast<BoundPanel *>(c))
            flat << panel->tabOrder();
        else
            flat << c;
    }
    for (qsizetype i = 1; i < flat.size(); ++i)
        QWidget::setTabOrder(flat[i - 1], flat[i]);
}
