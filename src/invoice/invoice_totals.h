#pragma once
// The arithmetic of the invoice totals and VAT summary, from the texts of an invoice's
// lines and header inputs as stored; nothing is read or written here.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace InvoiceTotals {

// Header columns read: discount type and percentage, expenses of buckets 1 and 2.
struct Inputs {
    QString scTipo, scPerc, spese, spese2;
};

// Line columns read, in the order the lines are delivered.
struct Line {
    QString quantita, aliquota, tipoCessione, prezzoTot;
};

// Header column -> text to store, in writing order.
using ColumnTexts = std::vector<std::pair<QString, QString>>;

struct Result {
    // The twelve rate/taxable/tax columns (empty where the run leaves them empty), the
    // free-goods columns of the buckets that have goods, `sc_importo` and `tot_doc`.
    ColumnTexts columns;
    // Rates of counted lines with a non-zero total that found no bucket.
    QStringList ratesWithoutBucket;
};

// Every header column a run may store: the twelve rate/taxable/tax columns, the three
// free-goods columns, `sc_importo` and `tot_doc`.
QStringList storedColumns();

// The header columns a run stores. Raises ConversionError for a line whose quantity,
// total or (free goods) rate is not a number, AppError for numbers out of the range or
// amounts too long for their columns. `reached` receives, as the run goes, what a run
// stopped by such an error has stored: the twelve columns emptied and the rates
// assigned before the failure.
Result compute(const Inputs &inputs, const std::vector<Line> &lines, ColumnTexts &reached);

} // namespace InvoiceTotals
