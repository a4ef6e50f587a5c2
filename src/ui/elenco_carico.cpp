#include "elenco_carico.h"

#include "window_geometry.h"

TElenco_Carico *Elenco_Carico = nullptr;

TElenco_Carico::TElenco_Carico(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Elenco_Carico"));
    placeWindow(this, 20, 20, 1300, 720);
}
