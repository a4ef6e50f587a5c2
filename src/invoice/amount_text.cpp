#include "amount_text.h"

#include "app_error.h"
#include "text_forms.h"

namespace AmountText {

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

Decimal readOrZero(const QString &text)
{
    Decimal value;
    return TextForms::tryReadStrict(text, &value) ? value : Decimal();
}

} // namespace AmountText
