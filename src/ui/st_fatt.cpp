#include "st_fatt.h"

#include "diz.h"
#include "invoice_layout.h"
#include "invoice_report.h"
#include "purchase_layout.h"
#include "purchase_report.h"
#include "report_preview.h"

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
