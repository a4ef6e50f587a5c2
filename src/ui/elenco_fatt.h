#pragma once
// The issued-invoice workspace: the invoice list with the lines of the current invoice and
// the document commands. Its window title is line 3 of ip.ini, set at log-in.
// For now an empty window of its class, opened modally from the main menu.
#include "screen_dialog.h"

class TDiz;

class TElenco_Fatt : public ScreenDialog {
    Q_OBJECT
public:
    explicit TElenco_Fatt(TDiz &diz, QWidget *parent = nullptr);

private:
    TDiz &m_diz;
};

extern TElenco_Fatt *Elenco_Fatt;
