#include "anag_cl.h"

#include "window_geometry.h"

TAnag_Cl *Anag_Cl = nullptr;

TAnag_Cl::TAnag_Cl(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Anag_Cl"));
    placeWindow(this, 40, 1, 1328, 734);
}
