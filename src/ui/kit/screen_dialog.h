#pragma once
// Base of the work screens: a window created once at start, opened modally and hidden
// when closed (never destroyed by closing). Escape does not close it.
#include <QDialog>

class ScreenDialog : public QDialog {
    Q_OBJECT
public:
    explicit ScreenDialog(QWidget *parent = nullptr);
    // Shows the screen modally over the main menu; returns when the user closes it.
    void showModal();

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
