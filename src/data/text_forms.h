#pragma once
// The text forms shared by the whole program: amount texts with the Italian decimal
// comma, the format masks, the two readings of a number, and the date texts.
// Nothing here depends on the process's C locale.
#include "data/decimal.h"
#include <QDate>
#include <QString>

namespace TextForms {

// Masks in use ("#" optional digit, "0" digit always written, "," thousands separator
// wanted, "." decimal point). Output uses ',' as decimal and '.' as thousands separator.
inline constexpr const char *Mask2 = "######0.00";
inline constexpr const char *Mask3 = "######0.000";
inline constexpr const char *EditMask2 = "#####0.00";
inline constexpr const char *EditMask3 = "#####0.000";
inline constexpr const char *GroupedMask2 = "##,###0.00";
inline constexpr const char *GroupedMask3 = "##,###0.000";
inline constexpr const char *Mask4 = "######0.0000";
inline constexpr const char *WideMask2 = "#######0.00";

// Formats `v` by `mask`: the value is first rounded to 18 significant digits, then to
// the mask's decimals, both half away from zero; a leading '-' for negative results
// (a result that rounds to zero is written without sign).
QString formatMask(const Decimal &v, const char *mask);

// Strict reading: surrounding blanks, optional sign, digits, at most one decimal comma,
// optional exponent (E or e, optional sign, digits); no thousands separator, no point.
// Throws ConversionError "'%s' is not a valid floating point value".
Decimal readStrict(const QString &text);
bool tryReadStrict(const QString &text, Decimal *out);

// Reading through the regional settings (Italian): decimal comma, the dot accepted as
// thousands separator anywhere in the integer part ("12.5" reads as 125,
// "1.234,50" as 1234,5); surrounding blanks and a sign allowed.
// Throws ConversionError "'%s' is not a valid floating point value".
Decimal readLocale(const QString &text);
bool tryReadLocale(const QString &text, Decimal *out);

// The message of a text that does not read as a number.
QString notAFloatMessage(const QString &text);   // "'%s' is not a valid floating point value"
QString notADateMessage(const QString &text);    // "'%s' is not a valid date"

// dd/mm/yyyy (the Italian short date). readDate accepts one- or two-digit day and month,
// and a two-digit year (taken as 19xx/20xx by the usual 50-year window); throws ConversionError
// "'%s' is not a valid date".
QString formatDate(const QDate &d);
QDate readDate(const QString &text);
bool tryReadDate(const QString &text, QDate *out);
// dd/mm/yy, as typed through the mask "!99/99/00;1;_".
QString formatShortDate(const QDate &d);
// yyyy-mm-dd, the XML form.
QString formatXmlDate(const QDate &d);

// The first `width` characters of `text`, counted as the server counts them (code
// points): a character outside the basic plane is never split.
QString cutToWidth(const QString &text, int width);
// Characters (code points) of `text`.
int characterCount(const QString &text);

} // namespace TextForms
