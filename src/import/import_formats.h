#pragma once
// Text forms in which the import writes the management database's binary floating-point
// values into the amount, price and rate texts of the invoice tables.
#include <QString>

namespace ImportFormats {

// The value formatted by one of the masks of TextForms ("######0.00", "######0.000").
QString masked(double value, const char *mask);
// A VAT rate held in 32 bits, in its shortest decimal form with a decimal comma: 22, 4, 5,5.
QString rateText(float rate);
// A rate rounded to the nearest whole number (a tie going to the even one), in digits: 22, 4, 6.
QString wholeRateText(double rate);

} // namespace ImportFormats
