#include "ui/screens/st_fatt.h"

#include "data/diz.h"
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "print/purchase_layout.h"
#include "print/purchase_report.h"
#include "print/report_preview.h"

#include <QApplication>

TSt_Fatt *St_Fatt = nullptr;

TSt_Fatt::TSt_Fatt(TDiz &diz, QWidget *parent) : QDialog(parent), m_diz(diz)
{
    setObjectName(QStringLiteral("St_Fatt"));
}

void TSt_Fatt::previewInvoice()
{
    Report::InvoiceReport data(m_diz);
    Report::showPreview(Report::invoiceLayout(), data, QApplication::activeWindow());
}

void TSt_Fatt::previewPurchase()
{
    Report::PurchaseReport data(m_diz);
    Report::showPreview(Report::purchaseLayout(), data, QApplication::activeWindow());
}
