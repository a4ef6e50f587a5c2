#pragma once
// Storing the amounts, prices, quantities and rates that the import computes into the
// text columns of the invoice tables. A text too long for its column would be stored cut
// to its first characters, a different amount: it is refused instead, as the invoice
// arithmetic refuses it, and the document under way is not imported.
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
// `value` as a plain decimal text (ImportFormats::plainText), its decimals cut and its
// integer digits refused as for a rate (the files round such decimals again).
void putPlain(DbTable &table, const QString &column, double value);

} // namespace ImportedAmounts
