#pragma once
// The values of a table object's cells: a cell holds the server's text form of its value
// (UTF-8, NULL as no cell); these functions turn it into the value a program reads, the
// text a user sees, and back.
#include "data/db_field.h"
#include "data/decimal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <optional>

// How an amount text is read (see TextForms): strictly, or through the regional settings.
enum class AmountReading { Strict, Regional };

namespace DbValues {

// The value of a cell: a whole number as int (qlonglong beyond), a floating-point value as
// double, a date as QDate (null when it does not read), anything else as text.
QVariant decode(const DbField &field, QByteArrayView raw, bool null);
// The text a user sees: a floating-point value with up to 15 significant digits and a
// decimal comma, a date as dd/mm/yyyy, NULL as empty text.
QString text(const DbField &field, QByteArrayView raw, bool null);
// The cell of a value set by the program (texts read as a user typed them; a text is cut
// to the column's width); a value that does not convert raises ConversionError.
std::optional<QByteArray> encode(const DbField &field, const QVariant &value);

// A value as a whole number; a null value or one that does not read raises ConversionError.
int toInteger(const QVariant &value);
// An amount text read by `reading`; a text that does not read raises ConversionError.
Decimal amount(const QString &text, AmountReading reading);
// ... or `fallback` for such a text.
Decimal amountOr(const QString &text, AmountReading reading, const Decimal &fallback);

// "Could not convert variant of type (Null) into type (`type`)".
QString nullConversionMessage(const QString &type);

} // namespace DbValues
