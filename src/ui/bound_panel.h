#pragma once
// A raised panel of controls bound to one table object, each bound box with its label
// above it. The panel keeps its controls in the order they were added, which is their
// tab order.
#include "db_edit.h"

#include <QFrame>
#include <QMap>
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
    QWidget *box(const QString &column) const { return m_boxes.value(column); }
    DbEdit *edit(const QString &column) const;
    QList<QWidget *> tabOrder() const { return m_tabOrder; }

private:
    DbTable &m_table;
    QMap<QString, QWidget *> m_boxes;
    QList<QWidget *> m_tabOrder;
};

// Chains the focus order of `controls` (a control that holds others, such as a panel,
// stands for its own chain).
void chainTabOrder(const QList<QWidget *> &controls);
