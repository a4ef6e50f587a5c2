#pragma once
// The line editor: the panel laid over the workspace's top row and invoice list, through
// which a line of the current invoice is typed in ("Ins. Riga"), changed ("Mod. Riga")
// and stored with "Registra".
#include <QFrame>

class TDiz;

class LinePanel : public QFrame {
    Q_OBJECT
public:
    LinePanel(TDiz &diz, QWidget *parent);

    // "Ins. Riga": opens the panel for a new line.
    void startInsert();
    // "Mod. Riga": opens the panel on the current line.
    void startModify();
    // "Elimina Riga": deletes the current line after confirmation.
    void deleteLine();

private:
    TDiz &m_diz;
};
