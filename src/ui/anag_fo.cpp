#include "anag_fo.h"

#include "window_geometry.h"

TAnag_Fo *Anag_Fo = nullptr;

TAnag_Fo::TAnag_Fo(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Anag_Fo"));
    placeWindow(this, 40, 1, 1326, 722);
}
