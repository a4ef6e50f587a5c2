#include "ui/kit/ui_messages.h"

#include "ui/kit/dialog_messages.h"
#include "data/installed_seam.h"

namespace {
InstalledSeam<UiMessages> g_seam;
} // namespace

UiMessages &uiMessages()
{
    static DialogMessages dialogs;
    return g_seam.inForce(dialogs);
}

UiMessages *installUiMessages(UiMessages *messages) { return g_seam.install(messages); }
