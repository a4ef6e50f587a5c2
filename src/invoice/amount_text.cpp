#include "invoice/amount_text.h"

#include "data/app_error.h"
#include "data/text_forms.h"

#include <QRegularExpression>

namespace AmountText {

namespace {

// The strict reading's form of a number: blanks, sign, digits with at most one decimal
// comma, an exponent with digits, blanks.
const QRegularExpression &numberForm()
{
    static const QRegularExpression form(QStringLiteral("^ *[+-]?([0-9]+,?[0-9]*|,[0-9]+)([eE][+-]?[0-9]+)? *$"));
    return form;
}

bool hasNonZeroDigit(const QString &text)
{
    for (const QChar c : text) {
        if (c == u'e' || c == u'E')
            return false;  // the mantissa ends here
        if (c >= u'1' && c <= u'9')
            return true;
    }
    return false;
}

const Decimal &rangeLimit()
{
    static const Decimal limit = Decimal::fromPlain("1e15");
    return limit;
}

void refuseOutOfRange(Reading reading, const QString &text, const QString &column)
{
    if (reading == Reading::TooLarge)
        throw AppError(QStringLiteral("Importo troppo grande per %1: %2").arg(column, text));
    if (reading == Reading::TooSmall)
        throw AppError(QStringLiteral("Importo troppo piccolo per %1: %2").arg(column, text));
}

} // namespace

QString fitting(const Decimal &value, const char *mask, const QString &column)
{
    const QString text = TextForms::formatMask(value, mask);
    if (text.size() > ColumnWidth)
        throw AppError(QStringLiteral("Importo troppo grande per %1: %2").arg(column, text));
    return text;
}

Decimal percentOf(const Decimal &value, const Decimal &percent)
{
    static const Decimal hundredth = Decimal::fromPlain("0.01");
    return value * percent * hundredth;
}

Reading read(const QString &text, Decimal *out)
{
    Decimal value;
    if (!TextForms::tryReadStrict(text, &value))
        return numberForm().match(text).hasMatch() ? Reading::TooLarge : Reading::NotANumber;
    if (value.abs() >= rangeLimit())
        return Reading::TooLarge;
    if (value.isZero() && hasNonZeroDigit(text))
        return Reading::TooSmall;
    if (out)
        *out = value;
    return Reading::Number;
}

Decimal readOrZero(const QString &text, const QString &column)
{
    Decimal value;
    const Reading reading = read(text, &value);
    refuseOutOfRange(reading, text, column);
    return reading == Reading::Number ? value : Decimal();
}

Decimal readNumber(const QString &text, const QString &column)
{
    Decimal value;
    const Reading reading = read(text, &value);
    refuseOutOfRange(reading, text, column);
    if (reading == Reading::NotANumber)
        throw ConversionError(TextForms::notAFloatMessage(text));
    return value;
}

} // namespace AmountText
