#pragma once
// The text forms that stored values take between the tags of a FatturaPA file.
// Numbers are always written with a decimal point, whatever the process locale.
#include "data/decimal.h"

#include <QString>

namespace XmlForms {

// Stored amount text (decimal comma, dots as thousands separators accepted) formatted
// with "######0.00": 1234,5 gives 1234.50, -5 gives -5.00. Raises ConversionError
// "'%s' is not a valid floating point value" for a text that is not a number (also empty).
QString amount(const QString &stored);
// The same form for a computed value.
QString amountOf(const Decimal &value);
// Stored price text formatted with "######0.0000": 12,5 gives 12.5000.
QString price(const QString &stored);
// A per-instalment payment amount, "#######0.00".
QString instalmentAmount(const Decimal &value);
// A discount or surcharge percentage: exactly two decimals, rounded half away from zero
// (10 gives 10.00, 2,675 gives 2.68). Raises ConversionError for a text that is not a number.
QString percentage(const QString &stored);
// A discount or surcharge amount: at least two and at most eight decimals, rounded half
// away from zero at the eighth (0,6993000000 gives 0.6993, 1,123456789 gives 1.12345679).
QString discountAmountOf(const Decimal &value);
// Whether the stored text reads as a number (the reading of amounts); the value in `out`.
bool readsAsNumber(const QString &stored, Decimal *out = nullptr);
// Stored day/month/year date written year-month-day (01/12/2026 gives 2026-12-01).
// Raises ConversionError "'%s' is not a valid date".
QString date(const QString &stored);
// Any other stored text: written as stored, markup characters escaped.
QString text(const QString &stored);

// The number an amount's text form stands for (the text form read back).
Decimal valueOf(const QString &amountForm);
// Whether an amount's text form stands for a number strictly greater than zero.
bool isPositive(const QString &amountForm);

// Leading and trailing blanks and control characters removed.
QString trimmed(const QString &stored);

} // namespace XmlForms
