#include "st_fatt.h"

TSt_Fatt *St_Fatt = nullptr;

TSt_Fatt::TSt_Fatt(TDiz &diz, QWidget *parent) : QDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("St_Fatt"));
}

void TSt_Fatt::previewInvoice() {}
void TSt_Fatt::previewPurchase() {}
