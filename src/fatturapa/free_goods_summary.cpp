#include "fatturapa/free_goods_summary.h"

#include "fatturapa/xml_forms.h"

SummaryFigures summaryFigures(const QString &rate, const QString &taxable, const QString &tax, const QString &freeGoods)
{
    Decimal free;
    if (!XmlForms::readsAsNumber(freeGoods, &free) || XmlForms::valueOf(XmlForms::amountOf(free)).isZero())
        return {taxable, tax};
    const Decimal withFreeGoods = XmlForms::valueOf(taxable) + XmlForms::valueOf(XmlForms::amountOf(free));
    const Decimal taxOnAll = (withFreeGoods * XmlForms::valueOf(rate)).divided(Decimal(100), 10);
    return {XmlForms::amountOf(withFreeGoods), XmlForms::amountOf(taxOnAll)};
}
