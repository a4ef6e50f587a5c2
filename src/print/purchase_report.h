#pragma once
// The data of QR2: the current purchase invoice of Testa_Car, every line of Detta_Car
// (which follows no header), the company (AziendaT), and the page footer's handler that
// computes the goods total, the expenses, the taxable and the VAT totals.
#include "print/report_snapshot.h"

class TDiz;

namespace Report {

class PurchaseReport : public ReportSnapshot {
public:
    explicit PurchaseReport(const TDiz &diz);

    void beforeBand(BandKind band, int page) override;
    // "Fattura_<num_doc>_<year of data_doc>".
    QString documentName() const override;

private:
    void footerHandler();  // QRBand3BeforePrint
};

} // namespace Report
