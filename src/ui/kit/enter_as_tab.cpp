#include "ui/kit/enter_as_tab.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

const char *const PressedByEnter = "xnPressedByEnter";

class EnterAsTab : public QObject {
public:
    explicit EnterAsTab(QWidget *window) : QObject(window), m_window(window) { qApp->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        // Only keys typed inside this window (a drop-down's open list is a window of its own).
        if (!widget || widget->window() != m_window)
            return false;
        // A button that Enter presses takes the key itself.
        if (widget->property(PressedByEnter).toBool() && !(key->modifiers() & Qt::ShiftModifier))
            return false;
        const bool backwards = key->modifiers() & Qt::ShiftModifier;
        // The window moves the focus as it does for Tab.
        QKeyEvent tab(QEvent::KeyPress, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                      backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &tab);
        return true;
    }

private:
    QWidget *m_window;
};

} // namespace

void installEnterAsTab(QWidget *window) { new EnterAsTab(window); }

namespace {

// Clicks its button on Enter, as Space does.
class EnterPresses : public QObject {
public:
    explicit EnterPresses(QAbstractButton *button) : QObject(button), m_button(button) { button->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_button || event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || (key->modifiers() & Qt::ShiftModifier))
            return false;
        if (!key->isAutoRepeat() && m_button->isEnabled())
            m_button->click();
        return true;
    }

private:
    QAbstractButton *m_button;
};

} // namespace

void letEnterPress(QAbstractButton *button)
{
    button->setProperty(PressedByEnter, true);
    new EnterPresses(button);
}
