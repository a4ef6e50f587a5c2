#include "line_panel.h"

LinePanel::LinePanel(TDiz &diz, QWidget *parent) : QFrame(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("P3"));
    hide();
}

void LinePanel::startInsert() {}
void LinePanel::startModify() {}
void LinePanel::deleteLine() {}
