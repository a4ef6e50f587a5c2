#pragma once
// The boxes that the screens show, all through one replaceable seam: the information
// boxes and confirmations of the commands, the "Delete record?" question of the
// navigators and grids, and the general error box. The program installs the real boxes
// (DialogMessages); tests install ScriptedMessages.
#include "data/messages.h"

class UiMessages : public Messages {
public:
    // The general error box: the text of an error that no command caught, with OK.
    virtual void error(const QString &text) = 0;
    // A question with OK and Cancel; true only for OK.
    virtual bool confirmOkCancel(const QString &text) = 0;
};

// The seam in force; the real boxes unless another one is installed.
UiMessages &uiMessages();
// Installs `messages` (nullptr: back to the real boxes); returns the one it replaces.
UiMessages *installUiMessages(UiMessages *messages);
