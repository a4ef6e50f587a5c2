#pragma once
// The Enter key of a window as Tab: the window sees the key before the focused control;
// Enter moves the focus to the next control in tab order (Shift+Enter to the previous
// one) and is swallowed, in every field, list and panel of the window, except on a button
// that Enter presses.
class QAbstractButton;
class QWidget;

void installEnterAsTab(QWidget *window);
// Enter on `button` (while it has the focus) clicks it instead of moving on.
void letEnterPress(QAbstractButton *button);
