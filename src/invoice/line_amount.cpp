#include "line_amount.h"

#include "amount_text.h"
#include "app_error.h"
#include "messages.h"
#include "text_forms.h"

namespace {

// The text rewritten with `mask` when it reads as a number, else `fallback`.
QString tidied(const QString &text, const char *mask, const QString &fallback)
{
    Decimal value;
    if (!TextForms::tryReadStrict(text, &value))
        return fallback;
    return TextForms::formatMask(value, mask);
}

} // namespace

void CalcolaRiga(LineAmountTexts &line, Messages &messages)
{
    using AmountText::readOrZero;

    const Decimal quantity = readOrZero(line.quantita);
    const Decimal price = readOrZero(line.prezzoUnit);
    const bool discount = line.scTipo == u"SC";
    const bool surcharge = line.scTipo == u"MG";
    if (!discount && !surcharge)
        line.scPerc = QStringLiteral("0,00");
    const Decimal percent = readOrZero(line.scPerc);

    // An overflow here is not caught: it reaches the caller's general error report.
    const Decimal amount = percent.isZero() ? Decimal() : AmountText::percentOf(quantity * price, percent);

    try {
        line.scImporto = AmountText::fitting(amount, TextForms::EditMask2, QStringLiteral("sc_importo"));
        Decimal total = quantity * price;
        if (discount) {
            total -= amount;
        } else if (surcharge) {
            total += amount;
        } else {
            line.scImporto.clear();
            line.scPerc.clear();
        }
        line.prezzoTot = AmountText::fitting(total, TextForms::EditMask3, QStringLiteral("prezzo_tot"));
    } catch (const AppError &) {
        messages.inform(QStringLiteral("Errore"));
    }
}

void Edit2Exit(LineAmountTexts &line, Messages &messages)
{
    line.quantita = tidied(line.quantita, TextForms::EditMask2, QStringLiteral("0,00"));
    CalcolaRiga(line, messages);
}

void Edit7Exit(LineAmountTexts &line, Messages &messages)
{
    line.prezzoUnit = tidied(line.prezzoUnit, TextForms::EditMask3, QStringLiteral("0,000"));
    CalcolaRiga(line, messages);
}

void Edit8Exit(LineAmountTexts &line, Messages &messages)
{
    line.scPerc = tidied(line.scPerc, TextForms::EditMask2, QString());
    CalcolaRiga(line, messages);
}

void cb1Exit(LineAmountTexts &line, Messages &messages)
{
    CalcolaRiga(line, messages);
}
