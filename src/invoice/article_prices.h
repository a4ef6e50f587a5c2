#pragma once
// The prices of a warehouse article (`magazzino`): for sale and for purchase, a gross
// price, a discount ("SC") or surcharge ("MG") percentage, the resulting amount and the
// net price. These texts use the grouped masks (dot as thousands separator) and are cut
// to their columns like any text. Arithmetic is exact; the masks round half away from zero.
#include <QString>

class DbTable;

namespace ArticlePrices {

// The five columns of one price: sale or purchase.
struct PriceColumns {
    const char *gross;     // prezzo_unit / costo_unit
    const char *type;      // sc_tipo / sc_costo_tipo
    const char *percent;   // sc_perc / sc_costo_perc
    const char *discount;  // sc_importo / sc_costo_importo
    const char *net;       // prezzo_tot / costo_tot
};

extern const PriceColumns Sale;
extern const PriceColumns Cost;

// The price (sale or purchase) that `column` belongs to; nullptr when none does.
const PriceColumns *priceOf(const QString &column);

// On leaving the box of a gross price or a percentage: puts the current article into
// editing if it is not, reads `column` through the regional settings (the dot taken as
// thousands separator) and writes it back with its mask, or its fallback when it holds
// no number ("0,000" for a gross price, empty text for the sale percentage, "0,00" for
// the purchase percentage); then runs the computation of its price.
void formatBox(DbTable &articles, const QString &column);

// The discount amount and the net price from the gross price, the percentage and the
// type, both read strictly (decimal comma, no thousands separator):
//   amount = gross × percent / 100, written "##,###0.00";
//   net = gross − amount for "SC", gross + amount for "MG", written "##,###0.000";
//   any other type: net = gross, and the amount and the percentage are emptied.
// When a text does not read as a number the computation stops and the net price gets
// the gross price's value unchanged (NULL as NULL); what was written before stays.
void computeNet(DbTable &articles, const PriceColumns &price);

} // namespace ArticlePrices
