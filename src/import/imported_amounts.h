#pragma once
// Storing the amounts, prices, quantities and rates that the import computes into the
// text columns of the invoice tables. A text too long for its column would be stored cut
// to its first characters, a different amount: it is refused instead, as the invoice
// arithmetic refuses it, and the document under way is not imported.
#include "data/decimal.h"

#include <QString>

class DbTable;

namespace ImportedAmounts {

// `value` formatted by `mask` (TextForms) into `column` of the pending row. Raises AppError
// "Importo troppo grande per <column>: <text>" when the text does not fit the column
// (also for values too large to be formatted at all).
void put(DbTable &table, const QString &column, double value, const char *mask);
// A rate text already formed (ImportFormats::rateText, wholeRateText). Decimals beyond the
// column's width are cut, as the column always did; a rate whose integer digits do not
// fit is refused as above.
void putRate(DbTable &table, const QString &column, const QString &text);
// A text already formed by a mask, refused as put() refuses it when it does not fit.
void putText(DbTable &table, const QString &column, const QString &text);
// `value` as an exact decimal for `column`, refused as put() refuses a value too large to
// be formatted.
Decimal exact(const QString &column, double value);

} // namespace ImportedAmounts
