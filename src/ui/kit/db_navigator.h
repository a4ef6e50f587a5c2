#pragma once
// A navigator bar on a table object: any subset of the ten buttons, in the order given,
// sharing the bar's width. Buttons are enabled as the table's state allows. Delete asks
// "Delete record?" with OK and Cancel first; edit on a table without rows starts a new
// row.
#include <QList>
#include <functional>
#include <QWidget>

class DbTable;
class QToolButton;

class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static QList<Button> allButtons();

    DbNavigator(DbTable &table, const QList<Button> &buttons, QWidget *parent = nullptr);

    DbTable &table() const { return m_table; }
    // The button, or nullptr when the bar does not show it.
    QToolButton *button(Button b) const;
    QList<Button> buttons() const { return m_order; }
    // Does what a click on the button does (through the general error box).
    void click(Button b);
    // What the delete button does once "Delete record?" is answered OK; by default the
    // table deletes its current row.
    void setDeleteAction(std::function<void()> action) { m_deleteAction = std::move(action); }

private:
    void run(Button b);
    void updateButtons();

    DbTable &m_table;
    QList<Button> m_order;
    QList<QToolButton *> m_buttons;
    std::function<void()> m_deleteAction;
};
