#pragma once
// Amount texts read and written by the invoice arithmetic. Every amount column of the
// invoice tables holds 12 characters; an amount whose text is longer is refused here
// instead of being cut to its first digits when stored.
//
// Numbers far outside a business's range are refused too, never counted as 0: a text
// written as a number whose size is 10^15 or more (no amount column can hold such a
// number, only an exponent or a runaway of digits gives one), or whose digits are lost
// entirely to the 30 decimals the arithmetic keeps (1e-40). The line amount shows its
// "Errore" for them; the totals stop with "Importo troppo grande per <column>: <text>" or
// "Importo troppo piccolo per <column>: <text>", as the import does for its amounts.
#include "data/decimal.h"

#include <QString>

namespace AmountText {

inline constexpr int ColumnWidth = 12;

// `value` formatted with `mask`; raises AppError when the text exceeds ColumnWidth.
// `column` names the destination in the message.
QString fitting(const Decimal &value, const char *mask, const QString &column);

// value × percent / 100, exact.
Decimal percentOf(const Decimal &value, const Decimal &percent);

// How a text reads by the strict reading (TextForms::readStrict).
enum class Reading {
    Number,      // a number within the range
    NotANumber,  // not written as a number at all
    TooLarge,    // written as a number of 10^15 or more, or too large to hold
    TooSmall,    // written as a number other than 0 that the arithmetic cannot tell from 0
};
Reading read(const QString &text, Decimal *out);

// The text read strictly as a number, or zero when it does not read as one; raises
// AppError for a number out of the range (see above), naming `column`.
Decimal readOrZero(const QString &text, const QString &column);
// The text read strictly as a number; raises ConversionError "'%s' is not a valid floating
// point value" when it does not read as one, AppError for a number out of the range.
Decimal readNumber(const QString &text, const QString &column);

} // namespace AmountText
