#pragma once
// The fonts of the layouts. Arial and Times New Roman are used where installed; otherwise
// their metric-compatible Liberation counterparts (the same advance widths), so that texts
// take the same room in their fields.
#include "print/report_layout.h"

#include <QFont>

namespace Report {

// The installed family that stands for `family`.
QString printFamily(const QString &family);
// The font of a layout item; its size is its height in units (1/96 inch), so the font has
// the same size on every device.
QFont printFont(const FontSpec &style);

} // namespace Report
