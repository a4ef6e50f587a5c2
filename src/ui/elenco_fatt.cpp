#include "elenco_fatt.h"

#include "window_geometry.h"

TElenco_Fatt *Elenco_Fatt = nullptr;

TElenco_Fatt::TElenco_Fatt(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Elenco_Fatt"));
    placeWindow(this, 20, 20, 1300, 720);
}
