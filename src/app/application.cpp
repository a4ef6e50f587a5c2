#include "application.h"

#include "command.h"

#include <QLocale>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Fatturazione"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    return deliverCatching([&] { return QApplication::notify(receiver, event); });
}
