#pragma once
// What a layout is rendered from: the texts of its fields, the number of detail rows and
// the band handlers that compute texts no column holds.
#include "print/report_layout.h"

#include <QString>

namespace Report {

class ReportData {
public:
    virtual ~ReportData() = default;
    // Rows of the line table; the detail band is repeated once per row.
    virtual int rowCount() const = 0;
    // Runs each time a band is about to print (once per page for the page bands), before
    // its fields are drawn; `page` counts from 1.
    virtual void beforeBand(BandKind band, int page);
    // The text of a named field: `row` is the detail row for the detail band, -1 otherwise.
    virtual QString text(BandKind band, int row, const QString &name) const = 0;
    // The name the printed document goes by (print job, proposed PDF file); empty: the
    // layout's name.
    virtual QString documentName() const { return QString(); }
};

} // namespace Report
