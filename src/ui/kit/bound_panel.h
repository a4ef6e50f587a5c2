#pragma once
// A raised panel of controls bound to one table object, each bound box with its label
// above it (laid out by a BoundForm). The panel keeps its controls in the order they
// were added, which is their tab order.
#include "ui/kit/bound_form.h"
#include "ui/kit/db_edit.h"

#include <QFrame>
#include <QRect>

class DbComboBox;
class DbTable;
class QLabel;

class BoundPanel : public QFrame {
    Q_OBJECT
public:
    // A label stands this far above its box.
    static constexpr int LabelAbove = 24;

    BoundPanel(DbTable &table, QWidget *parent);

    QLabel *addLabel(const QString &caption, QPoint at);
    DbEdit *addEdit(const QString &label, const QString &column, QRect box,
                    DbEdit::CharCase charCase = DbEdit::CharCase::AsTyped);
    DbComboBox *addCombo(const QString &label, const QString &column, const QStringList &items, QRect box);
    // Another control of the panel (a button, a navigator), next in tab order.
    void addControl(QWidget *control, QRect geometry);

    // The bound control of `column` (nullptr when there is none).
    QWidget *box(const QString &column) const { return m_form.control(column); }
    DbEdit *edit(const QString &column) const;
    QList<QWidget *> tabOrder() const { return m_form.tabOrder(); }

private:
    BoundForm m_form;
};

// Chains the focus order of `controls` (a control that holds others, such as a panel,
// stands for its own chain).
void chainTabOrder(const QList<QWidget *> &controls);
