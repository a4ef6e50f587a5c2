#pragma once
// The application object. Every error that escapes an event handler or slot ends up
// here and is shown in the general error box; the program goes on. It also sets the
// Italian regional settings the texts are written and read with, and Qt's own Italian
// texts for the standard dialogs.
#include <QApplication>

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
