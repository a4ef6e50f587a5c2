#pragma once
// "On leaving a control": calls a command when the keyboard focus goes from a control
// (or a widget inside it, such as the edit line of a drop-down) to another control of
// the same window. Focus that goes to another window and comes back to the same control
// is no leaving; focus that comes back to another control is. Hiding the window forgets
// that the control had the focus. Errors go to the general error box.
#include <functional>

class QWidget;

void onFocusExit(QWidget *control, std::function<void()> command);
