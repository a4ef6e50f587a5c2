#include "header_panel.h"

HeaderPanel::HeaderPanel(TDiz &diz, QWidget *parent) : QFrame(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("P4"));
    hide();
}

void HeaderPanel::open() {}
