#pragma once
// The band renderer: paints a layout page by page on any paged device (the preview's
// printer, a real printer, a PDF writer). Every page gets the page header at its top and
// the page footer at its foot; between them the detail band is repeated once per row,
// as many rows as fit, and the next rows go on to the next page. A layout with no rows
// still prints one page with its header and footer.
#include "print/report_data.h"
#include "print/report_layout.h"

#include <QSizeF>

class QPainter;
class QPagedPaintDevice;
class QPaintDevice;

namespace Report {

// A4 portrait with the layout's margins, set on the device before painting starts.
void applyPageSetup(QPagedPaintDevice &device, const Layout &layout);
// The area a painter can paint on a device (inside the margins), in units.
QSizeF printableArea(const QPaintDevice &device);
// Rows of the detail band one page holds, for a printable area `areaHeight` units high;
// raises when not even one row fits.
int rowsPerPage(const Layout &layout, double areaHeight);
int pageCount(const Layout &layout, int rows, double areaHeight);

// Paints every page with `painter`, already active on `device`; returns the number of pages.
// An error raised by a band handler stops the rendering and reaches the caller.
int render(const Layout &layout, ReportData &data, QPainter &painter, QPagedPaintDevice &device);

} // namespace Report
