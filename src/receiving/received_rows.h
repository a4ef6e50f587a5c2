#pragma once
// The rows of test_car and dett_car that a received document gives: column names with
// their values, every amount as the application's amount text (decimal comma), every
// date as dd/mm/yyyy, every text cut to its column's width.
#include "receiving/fattura_reader.h"

#include <QStringList>
#include <QVariantList>

namespace Received {

struct RowValues {
    QStringList columns;
    QVariantList values;
    void add(const QString &column, const QVariant &value);
};

// The test_car row of one body: supplier, document data, the first two VAT summaries in
// the two buckets, up to four instalments, and `fileName`. Raises AppError when an amount
// does not fit its column.
RowValues headerRow(const Document &document, const Body &body, const QString &fileName);
// The dett_car row of one line, without prot_car.
RowValues lineRow(const Line &line);

// Amount text with two decimals ("1234,50").
QString amountText(const Decimal &value);
// The exact value with at least two decimals ("1,00", "0,12345"), rounded to fewer
// decimals only when it would not fit `width` characters.
QString exactText(const Decimal &value, int width);
// A rate or a percentage in its shortest form ("22", "5,5", "0").
QString shortText(const Decimal &value, int width);

} // namespace Received
