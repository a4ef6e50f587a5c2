#pragma once
// The warehouse articles, also the article picker of the workspace.
// For now an empty window of its class, opened modally from the main menu.
#include "screen_dialog.h"

class TDiz;

class TArticoli : public ScreenDialog {
    Q_OBJECT
public:
    explicit TArticoli(TDiz &diz, QWidget *parent = nullptr);

private:
    TDiz &m_diz;
};

extern TArticoli *Articoli;
