#include "articoli.h"

#include "window_geometry.h"

TArticoli *Articoli = nullptr;

TArticoli::TArticoli(TDiz &diz, QWidget *parent) : ScreenDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("Articoli"));
    placeWindow(this, 43, 20, 1319, 718);
}
