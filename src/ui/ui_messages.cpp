#include "ui_messages.h"

#include "dialog_messages.h"
#include "installed_seam.h"

namespace {
InstalledSeam<UiMessages> g_seam;
} // namespace

UiMessages &uiMessages()
{
    static DialogMessages dialogs;
    return g_seam.inForce(dialogs);
}

UiMessages *installUiMessages(UiMessages *messages) { return g_seam.install(messages); }
