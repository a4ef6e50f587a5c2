#include "app/application.h"

#include "ui/kit/command.h"
#include "app/qt_translations.h"

#include <QLocale>

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Fatturazione"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    installQtTranslations(*this);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    return deliverCatching([&] { return QApplication::notify(receiver, event); });
}
