#include "invoice/article_prices.h"

#include "invoice/amount_text.h"
#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_table.h"
#include "data/text_forms.h"

#include <array>

namespace ArticlePrices {

const PriceColumns Sale{col::magazzino::prezzo_unit, col::magazzino::sc_tipo, col::magazzino::sc_perc,
                        col::magazzino::sc_importo, col::magazzino::prezzo_tot};
const PriceColumns Cost{col::magazzino::costo_unit, col::magazzino::sc_costo_tipo, col::magazzino::sc_costo_perc,
                        col::magazzino::sc_costo_importo, col::magazzino::costo_tot};

namespace {

// How a box is written back when it is left.
struct BoxFormat {
    const char *column;
    const char *mask;
    const char *fallback;  // when the box holds no number
    const PriceColumns *price;
};

const std::array<BoxFormat, 4> BoxFormats{{
    {col::magazzino::prezzo_unit, TextForms::GroupedMask3, "0,000", &Sale},
    {col::magazzino::sc_perc, TextForms::GroupedMask2, "", &Sale},
    {col::magazzino::costo_unit, TextForms::GroupedMask3, "0,000", &Cost},
    {col::magazzino::sc_costo_perc, TextForms::GroupedMask2, "0,00", &Cost},
}};

const BoxFormat *boxFormatOf(const QString &column)
{
    for (const BoxFormat &f : BoxFormats)
        if (column.compare(QLatin1String(f.column), Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

} // namespace

const PriceColumns *priceOf(const QString &column)
{
    for (const PriceColumns *p : {&Sale, &Cost})
        for (const char *c : {p->gross, p->type, p->percent, p->discount, p->net})
            if (column.compare(QLatin1String(c), Qt::CaseInsensitive) == 0)
                return p;
    return nullptr;
}

void formatBox(DbTable &articles, const QString &column)
{
    const BoxFormat *format = boxFormatOf(column);
    if (!format)
        return;
    if (!articles.isEditing())
        articles.edit();
    Decimal value;
    const bool isNumber = !articles.isNull(column) && TextForms::tryReadLocale(articles.text(column), &value);
    articles.setText(column, isNumber ? TextForms::formatMask(value, format->mask) : QString::fromLatin1(format->fallback));
    computeNet(articles, *format->price);
}

void computeNet(DbTable &articles, const PriceColumns &price)
{
    const char *const grossColumn = price.gross;
    const char *const percentColumn = price.percent;
    const QString type = articles.text(price.type);
    const bool discounted = type == u"SC";
    const bool surcharged = type == u"MG";

    Decimal gross, percent, discount, net;
    bool readable = !articles.isNull(grossColumn) && TextForms::tryReadStrict(articles.text(grossColumn), &gross)
        && !articles.isNull(percentColumn) && TextForms::tryReadStrict(articles.text(percentColumn), &percent);
    if (readable) {
        try {
            discount = AmountText::percentOf(gross, percent);
            net = discounted ? gross - discount : surcharged ? gross + discount : gross;
        } catch (const AppError &) {
            readable = false;  // beyond the exact range: there is no number to write
        }
    }
    if (!readable) {
        articles.setValue(price.net, articles.value(grossColumn));
        return;
    }
    if (discounted || surcharged) {
        articles.setText(price.discount, TextForms::formatMask(discount, TextForms::GroupedMask2));
    } else {
        articles.setText(price.discount, QString());
        articles.setText(percentColumn, QString());
    }
    articles.setText(price.net, TextForms::formatMask(net, TextForms::GroupedMask3));
}

} // namespace ArticlePrices
