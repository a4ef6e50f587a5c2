#include "ui/kit/screen_dialog.h"

#include <QKeyEvent>

ScreenDialog::ScreenDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    setModal(true);
}

void ScreenDialog::showModal() { exec(); }

void ScreenDialog::keyPressEvent(QKeyEvent *event)
{
    // Neither Escape nor Enter closes a screen or presses one of its buttons.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
