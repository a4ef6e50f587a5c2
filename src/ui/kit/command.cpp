#include "ui/kit/command.h"

#include "data/app_error.h"
#include "ui/kit/ui_messages.h"

void showGeneralError(const QString &text) { uiMessages().error(text); }

bool runCommand(const std::function<void()> &command)
{
    return deliverCatching([&] {
        command();
        return true;
    });
}

bool deliverCatching(const std::function<bool()> &delivery)
{
    try {
        return delivery();
    } catch (const std::exception &e) {
        showGeneralError(errorText(e));
    }
    return false;
}
