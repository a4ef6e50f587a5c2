#include "import/imported_line_price.h"

#include "invoice/amount_text.h"
#include "data/columns.h"
#include "import/imported_amounts.h"
#include "checks/line_total_rule.h"
#include "data/text_forms.h"
#include "fatturapa/xml_forms.h"

#include <vector>

namespace {

using LineTotalRule::Adjustment;

const Decimal Hundred = 100;

// A price as the file writes it (four decimals), read back.
Decimal writtenPrice(const QString &stored)
{
    return XmlForms::valueOf(XmlForms::price(stored));
}

// The price texts to try, in order: three decimals as the import writes prices, then
// four when they make a different value.
std::vector<QString> priceForms(const Decimal &price)
{
    std::vector<QString> forms{TextForms::formatMask(price, TextForms::Mask3)};
    const QString fine = TextForms::formatMask(price, TextForms::Mask4);
    if (TextForms::readLocale(fine) != TextForms::readLocale(forms.front()))
        forms.push_back(fine);
    return forms;
}

// The combined percentage of discounts applied one after the other:
// 100 - 100 x (1 - d1/100) x (1 - d2/100) x (1 - d3/100). Negative for a net surcharge.
Decimal combinedPercent(const double (&discounts)[3])
{
    Decimal remaining = 1;
    for (double d : discounts)
        remaining = (remaining * (Hundred - ImportedAmounts::exact(col::dettaglio::sc_perc, d))).divided(Hundred, 20);
    return Hundred - remaining * Hundred;
}

} // namespace

ImportedLinePrice importedLinePrice(const ImportedLineSource &source)
{
    ImportedLinePrice out;
    out.prezzoTot = TextForms::formatMask(ImportedAmounts::exact(col::dettaglio::prezzo_tot, source.netAmount),
                                          TextForms::Mask3);
    const Decimal total = writtenPrice(out.prezzoTot);
    const Decimal quantity = TextForms::readLocale(source.quantita);
    // The file carries the quantity only when it is above 0; the rule then counts one unit.
    const Decimal writtenQuantity = XmlForms::isPositive(XmlForms::amount(source.quantita)) ? quantity : Decimal(1);
    auto meets = [&](const QString &price, const std::vector<Adjustment> &adjustments) {
        return LineTotalRule::isMet(total, LineTotalRule::expectedTotal(writtenPrice(price), adjustments, writtenQuantity));
    };

    // The gross price with the discounts as one percentage, written with two decimals.
    const bool discounted = source.discounts[0] != 0 || source.discounts[1] != 0 || source.discounts[2] != 0;
    if (discounted) {
        const QString percentText = TextForms::formatMask(combinedPercent(source.discounts), TextForms::Mask2);
        const Decimal percent = TextForms::readLocale(percentText);
        if (!percent.isZero()) {
            const bool surcharge = percent.isNegative();
            const Decimal magnitude = percent.abs();
            const Decimal gross = ImportedAmounts::exact(col::dettaglio::prezzo_unit, source.grossPrice);
            for (const QString &price : priceForms(gross)) {
                // The file's percentage decides; its amount is that of the whole line.
                if (!meets(price, {{surcharge, magnitude, std::nullopt}}))
                    continue;
                out.prezzoUnit = price;
                out.scTipo = surcharge ? QStringLiteral("MG") : QStringLiteral("SC");
                out.scPerc = TextForms::formatMask(magnitude, TextForms::Mask2);
                // The discount amount of the line, as the line editor works it out.
                out.scImporto = TextForms::formatMask(AmountText::percentOf(quantity * TextForms::readLocale(price), magnitude),
                                                      TextForms::Mask2);
                return out;
            }
        }
    }

    // The net price, which already holds every discount.
    for (const QString &price : priceForms(ImportedAmounts::exact(col::dettaglio::prezzo_unit, source.netPrice))) {
        if (meets(price, {})) {
            out.prezzoUnit = price;
            return out;
        }
    }
    // A quantity stored with fewer decimals than the source's, or none at all in the file:
    // the total per unit written.
    out.prezzoUnit = TextForms::formatMask(total.divided(writtenQuantity, 4), TextForms::Mask4);
    return out;
}
