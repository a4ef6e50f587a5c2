#pragma once
// The data of QR1: the current invoice of Testata, its lines (Detta), the company
// (AziendaT), and the two band handlers: the document year beside the number in the
// page header, the taxable and VAT totals in the page footer.
#include "print/report_snapshot.h"

class TDiz;

namespace Report {

class InvoiceReport : public ReportSnapshot {
public:
    // Takes the current rows; raises ConversionError when the document date is empty,
    // NULL or not a date, before any page is drawn.
    explicit InvoiceReport(const TDiz &diz);

    void beforeBand(BandKind band, int page) override;
    // "Fattura_<num_doc>_<year of data_doc>".
    QString documentName() const override;

    // "/ " and the four-digit year of a dd/mm/yyyy date; raises ConversionError.
    static QString yearText(const QString &dataDoc);

private:
    void headerHandler();  // QRBand10BeforePrint
    void footerHandler();  // QRBand12BeforePrint
};

} // namespace Report
