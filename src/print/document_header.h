#pragma once
// The parts of a document's page header that the invoice and the purchase-invoice
// layouts draw alike: the sender's box with the page number beside it, the addressee
// ("Spett.le"), and the captions of the line table's columns.
#include "report_layout.h"

#include <vector>

namespace Report {

// The sender's box (name, address, postcode and town, VAT number and tax code, read from
// the table `sender`) `boxHeight` high, the page number, and the addressee's name,
// address, postcode, town and province read from the table `addressee`.
std::vector<Item> partiesBlock(const QString &sender, const QString &addressee, double boxHeight);

// The captions of the line table's columns, their tops at `top`; the amount's caption
// starts at `amountLeft`.
std::vector<Item> columnCaptions(double top, double amountLeft);

} // namespace Report
