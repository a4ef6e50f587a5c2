// Program start: the application object, then every window and the data module once,
// then the message loop until the main menu is closed.
#include "app/app_shell.h"
#include "app/application.h"
#include "app/menu.h"

int main(int argc, char **argv)
{
    Application app(argc, argv);
    AppShell shell;
    shell.menu().show();
    return app.exec();
}
