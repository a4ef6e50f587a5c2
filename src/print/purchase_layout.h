#pragma once
// QR2, the received purchase invoice on A4: the supplier in the left box and the company
// as addressee, one detail row per purchase-invoice line, the goods, expenses, discount,
// two VAT buckets and the totals in the page footer; no page frame.
#include "print/report_layout.h"

namespace Report {

const Layout &purchaseLayout();

// Names of the texts computed by the purchase footer's handler.
inline const QString PurchaseGoodsTotal = QStringLiteral("imp_lordo1");
inline const QString PurchaseExpenses = QStringLiteral("spese1");
inline const QString PurchaseTaxableTotal = QStringLiteral("imponib1");
inline const QString PurchaseVatTotal = QStringLiteral("iva1");

} // namespace Report
