#pragma once
// The purchase-invoice list.
// For now an empty window of its class, opened modally from the main menu.
#include "screen_dialog.h"

class TDiz;

class TElenco_Carico : public ScreenDialog {
    Q_OBJECT
public:
    explicit TElenco_Carico(TDiz &diz, QWidget *parent = nullptr);

private:
    TDiz &m_diz;
};

extern TElenco_Carico *Elenco_Carico;
