#pragma once
// The real message boxes, shown modally over the active window.
#include "ui/kit/ui_messages.h"

class DialogMessages : public UiMessages {
public:
    void inform(const QString &text) override;
    bool confirm(const QString &text) override;
    void error(const QString &text) override;
    bool confirmOkCancel(const QString &text) override;
};
