#pragma once
// Amount texts written by the invoice arithmetic. Every amount column of the invoice
// tables holds 12 characters; an amount whose text is longer is refused here instead
// of being cut to its first digits when stored.
#include "decimal.h"

#include <QString>

namespace AmountText {

inline constexpr int ColumnWidth = 12;

// `value` formatted with `mask`; raises AppError when the text exceeds ColumnWidth.
// `column` names the destination in the message.
QString fitting(const Decimal &value, const char *mask, const QString &column);

// value × percent / 100, exact.
Decimal percentOf(const Decimal &value, const Decimal &percent);

// The text read strictly as a number, or zero when it does not read as one.
Decimal readOrZero(const QString &text);

} // namespace AmountText
