#pragma once
// The Enter key of a window as Tab: the window sees the key before the focused control;
// Enter moves the focus to the next control in tab order (Shift+Enter to the previous
// one) and is swallowed, in every field, list and panel of the window.
class QWidget;

void installEnterAsTab(QWidget *window);
