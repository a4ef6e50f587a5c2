#pragma once
// The parts of a document's page that the invoice and the purchase-invoice layouts draw
// alike: the sender's box with the page number beside it, the addressee ("Spett.le"),
// the captions of the line table's columns, a VAT bucket and the totals box.
#include "print/report_layout.h"

#include <vector>

namespace Report {

// The sender's box (name, address, postcode and town, VAT number and tax code, read from
// the table `sender`) `boxHeight` high, the page number, and the addressee's name,
// address, postcode, town and province read from the table `addressee`. Both tables are
// party tables (azienda, testata, test_car), whose party columns have the same names.
std::vector<Item> partiesBlock(const char *sender, const char *addressee, double boxHeight);

// The captions of the line table's columns, their tops at `top`; the amount's caption
// starts at `amountLeft`.
std::vector<Item> columnCaptions(double top, double amountLeft);

// Where a VAT bucket's three captions and three fields stand.
struct BucketPlaces {
    double rateCaption, taxableCaption, vatCaption, captionTop;
    double rateField, taxableField, vatField, fieldTop;
};

// The three columns of one VAT bucket: rate, taxable amount and tax.
struct BucketFields {
    const char *rate, *taxable, *tax;
};

// The captions "Aliquota", "Imponibile", "Iva" and the fields of the bucket's columns of the
// table `table`.
std::vector<Item> vatBucket(const char *table, const BucketFields &columns, const BucketPlaces &at);

// The totals box at `top`: the taxable total, the VAT total and the document's total
// read from the fields so named.
std::vector<Item> totalsBox(double top, const QString &taxableTotal, const QString &vatTotal, const QString &documentTotal);

} // namespace Report
