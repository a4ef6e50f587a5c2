#pragma once
// The customer registry, also the customer picker of the workspace.
// For now an empty window of its class, opened modally from the main menu.
#include "screen_dialog.h"

class TDiz;

class TAnag_Cl : public ScreenDialog {
    Q_OBJECT
public:
    explicit TAnag_Cl(TDiz &diz, QWidget *parent = nullptr);

private:
    TDiz &m_diz;
};

extern TAnag_Cl *Anag_Cl;
