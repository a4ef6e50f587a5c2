#pragma once
// The supplier registry.
// For now an empty window of its class, opened modally from the main menu.
#include "screen_dialog.h"

class TDiz;

class TAnag_Fo : public ScreenDialog {
    Q_OBJECT
public:
    explicit TAnag_Fo(TDiz &diz, QWidget *parent = nullptr);

private:
    TDiz &m_diz;
};

extern TAnag_Fo *Anag_Fo;
