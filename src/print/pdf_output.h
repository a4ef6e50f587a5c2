#pragma once
// Rendering a layout straight into a PDF file. The file is written whole or not at all:
// an error while rendering leaves an existing file with that name untouched.
#include "print/report_data.h"
#include "print/report_layout.h"

#include <QString>

class TDiz;

namespace Report {

// Renders every page into `path`; returns the number of pages. Raises on a rendering
// error or when the file cannot be written.
int renderPdf(const Layout &layout, ReportData &data, const QString &path);

// The issued invoice (QR1) and the purchase invoice (QR2) of the current rows.
int printInvoicePdf(const TDiz &diz, const QString &path);
int printPurchasePdf(const TDiz &diz, const QString &path);

} // namespace Report
