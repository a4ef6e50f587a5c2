#include "ui/kit/bound_panel.h"

#include "ui/kit/db_combo_box.h"

BoundPanel::BoundPanel(DbTable &table, QWidget *parent) : QFrame(parent), m_form(this, table, LabelAbove)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
}

QLabel *BoundPanel::addLabel(const QString &caption, QPoint at) { return m_form.addCaption(caption, at); }

DbEdit *BoundPanel::addEdit(const QString &label, const QString &column, QRect box, DbEdit::CharCase charCase)
{
    DbEdit *edit = m_form.addEdit(label, column, box);
    edit->setCharCase(charCase);
    return edit;
}

DbComboBox *BoundPanel::addCombo(const QString &label, const QString &column, const QStringList &items, QRect box)
{
    return m_form.addCombo(label, column, items, box);
}

void BoundPanel::addControl(QWidget *control, QRect geometry) { m_form.add(QString(), control, geometry); }

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
