#pragma once
// QR1, the issued invoice on A4: the company in the seller box, the buyer and the
// document data in the page header, one detail row per invoice line, the VAT buckets
// and the totals in the page footer, a frame around the printable area of every page.
#include "print/report_layout.h"

namespace Report {

const Layout &invoiceLayout();

// Names of the texts computed by the invoice's band handlers.
inline const QString InvoiceYearText = QStringLiteral("QRLabel84");
inline const QString InvoiceTaxableTotal = QStringLiteral("imponib");
inline const QString InvoiceVatTotal = QStringLiteral("iva");

} // namespace Report
