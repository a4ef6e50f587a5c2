#pragma once
// The header editor: the panel laid over the whole working area of the workspace, with
// every field of the current invoice header and its linked documents.
#include <QFrame>

class TDiz;

class HeaderPanel : public QFrame {
    Q_OBJECT
public:
    HeaderPanel(TDiz &diz, QWidget *parent);

    // "Testata Doc.": shows the panel on the current invoice header.
    void open();

private:
    TDiz &m_diz;
};
