#include "ui_messages.h"

#include "dialog_messages.h"

namespace {
UiMessages *g_installed = nullptr;
} // namespace

UiMessages &uiMessages()
{
    static DialogMessages dialogs;
    return g_installed ? *g_installed : dialogs;
}

UiMessages *installUiMessages(UiMessages *messages)
{
    UiMessages *previous = g_installed;
    g_installed = messages;
    return previous;
}
