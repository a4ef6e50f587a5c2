#include "ui/kit/focus_exit.h"

#include "ui/kit/command.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

class FocusExit : public QObject {
public:
    FocusExit(QWidget *control, std::function<void()> command)
        : QObject(control), m_control(control), m_command(std::move(command))
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { focusMoved(now); });
        m_control->window()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_control->window() && event->type() == QEvent::Hide)
            m_inside = false;
        return false;
    }

private:
    bool holds(const QWidget *w) const { return w == m_control || m_control->isAncestorOf(w); }

    void focusMoved(QWidget *now)
    {
        if (!now || now->window() != m_control->window())
            return;  // the window lost the focus: the control is left only for another of its controls
        if (holds(now)) {
            m_inside = true;
            return;
        }
        if (!m_inside)
            return;
        m_inside = false;
        runCommand(m_command);
    }

    QWidget *m_control;
    std::function<void()> m_command;
    bool m_inside = false;
};

} // namespace

void onFocusExit(QWidget *control, std::function<void()> command) { new FocusExit(control, std::move(command)); }
