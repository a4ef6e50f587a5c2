#include "invoice/line_amount.h"

#include "invoice/amount_text.h"
#include "data/app_error.h"
#include "data/columns.h"
#include "data/messages.h"
#include "data/text_forms.h"

namespace {

// The text rewritten with `mask` when it reads as a number, else `fallback`. A number out
// of the range is left as typed, for CalcolaRiga to refuse.
QString tidied(const QString &text, const char *mask, const QString &fallback)
{
    Decimal value;
    switch (AmountText::read(text, &value)) {
    case AmountText::Reading::Number:
        return TextForms::formatMask(value, mask);
    case AmountText::Reading::NotANumber:
        return fallback;
    default:
        return text;
    }
}

// The input read as a number; 0 when it is not written as one. False for a number out of
// the range, which must not count as 0.
bool readInput(const QString &text, Decimal *value)
{
    switch (AmountText::read(text, value)) {
    case AmountText::Reading::Number:
        return true;
    case AmountText::Reading::NotANumber:
        *value = Decimal();
        return true;
    default:
        return false;
    }
}

} // namespace

void CalcolaRiga(LineAmountTexts &line, Messages &messages)
{
    const bool discount = line.scTipo == u"SC";
    const bool surcharge = line.scTipo == u"MG";
    if (!discount && !surcharge)
        line.scPerc = QStringLiteral("0,00");

    Decimal quantity, price, percent;
    if (!readInput(line.quantita, &quantity) || !readInput(line.prezzoUnit, &price) || !readInput(line.scPerc, &percent)) {
        messages.inform(QStringLiteral("Errore"));
        return;
    }

    // Within the range the products cannot overflow, but every failure of the computation
    // is the line's own "Errore", never a general error.
    try {
        const Decimal amount = percent.isZero() ? Decimal() : AmountText::percentOf(quantity * price, percent);
        line.scImporto = AmountText::fitting(amount, TextForms::EditMask2, col::dettaglio::sc_importo);
        Decimal total = quantity * price;
        if (discount) {
            total -= amount;
        } else if (surcharge) {
            total += amount;
        } else {
            line.scImporto.clear();
            line.scPerc.clear();
        }
        line.prezzoTot = AmountText::fitting(total, TextForms::EditMask3, col::dettaglio::prezzo_tot);
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
