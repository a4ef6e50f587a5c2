#include "invoice/invoice_totals.h"

#include "invoice/amount_text.h"
#include "data/columns.h"
#include "data/testata_buckets.h"
#include "data/text_forms.h"

#include <array>

namespace InvoiceTotals {
namespace {

constexpr int BucketCount = TestataBucketCount;
// Buckets 1 to 3 keep free goods, expenses and the header discount apart; bucket 4 does not.
constexpr int BucketsWithFreeGoods = 3;

bool isFreeGoods(const QString &kind) { return kind == u"SC" || kind == u"AB" || kind == u"PR"; }

// The rates of the buckets, as the run assigns them (empty: a free bucket).
using Rates = std::array<QString, BucketCount>;

// Bucket whose rate text is `rate`, or -1. The empty text is never a rate.
int bucketOf(const Rates &rates, const QString &rate)
{
    if (rate.isEmpty())
        return -1;
    for (int k = 0; k < BucketCount; ++k)
        if (rates[size_t(k)] == rate)
            return k;
    return -1;
}

// The twelve columns as stored after the reset and the rates assigned so far.
ColumnTexts summaryColumns(const Rates &rates)
{
    ColumnTexts out;
    for (int k = 0; k < BucketCount; ++k) {
        out.emplace_back(QString::fromLatin1(TestataBuckets[size_t(k)].taxable), QString());
        out.emplace_back(QString::fromLatin1(TestataBuckets[size_t(k)].tax), QString());
        out.emplace_back(QString::fromLatin1(TestataBuckets[size_t(k)].rate), rates[size_t(k)]);
    }
    return out;
}

// Gives `rate` the first free bucket, in the order 1 to 4.
void assignRate(Rates &rates, const QString &rate)
{
    if (rate.isEmpty() || bucketOf(rates, rate) >= 0)
        return;
    for (QString &r : rates)
        if (r.isEmpty()) {
            r = rate;
            return;
        }
}

struct LineSums {
    std::array<Decimal, BucketCount> taxable{};               // T(k)
    std::array<Decimal, BucketsWithFreeGoods> freeGoods{};    // G(k)
    std::array<Decimal, BucketsWithFreeGoods> freeGoodsVat{}; // V(k)
    QStringList ratesWithoutBucket;
};

void addLine(const Rates &rates, const Line &line, LineSums &sums)
{
    const int k = bucketOf(rates, line.aliquota);
    const Decimal amount = AmountText::readNumber(line.prezzoTot, col::dettaglio::prezzo_tot);
    if (k < 0) {
        if (!amount.isZero() && !sums.ratesWithoutBucket.contains(line.aliquota))
            sums.ratesWithoutBucket << line.aliquota;
        return;
    }
    if (k < BucketsWithFreeGoods && isFreeGoods(line.tipoCessione)) {
        sums.freeGoodsVat[size_t(k)] +=
            AmountText::percentOf(amount, AmountText::readNumber(line.aliquota, col::dettaglio::aliquota));
        sums.freeGoods[size_t(k)] += amount;
    } else {
        sums.taxable[size_t(k)] += amount;
    }
}

} // namespace

QStringList storedColumns()
{
    QStringList out;
    for (const auto &[name, text] : summaryColumns(Rates{}))
        out << name;
    for (const TestataBucketColumns &b : TestataBuckets)
        if (b.freeGoods)
            out << QString::fromLatin1(b.freeGoods);
    out << QString::fromLatin1(col::testata::sc_importo) << QString::fromLatin1(col::testata::tot_doc);
    return out;
}

Result compute(const Inputs &inputs, const std::vector<Line> &lines, ColumnTexts &reached)
{
    using AmountText::percentOf;
    using AmountText::readOrZero;

    Rates rates;
    reached = summaryColumns(rates);
    LineSums sums;
    for (const Line &line : lines) {
        if (AmountText::readNumber(line.quantita, col::dettaglio::quantita) <= 0)
            continue;
        if (bucketOf(rates, line.aliquota) < 0) {
            assignRate(rates, line.aliquota);
            reached = summaryColumns(rates);
        }
        addLine(rates, line, sums);
    }

    std::array<Decimal, BucketCount> rate;
    for (int k = 0; k < BucketCount; ++k)
        rate[size_t(k)] = readOrZero(rates[size_t(k)], QString::fromLatin1(TestataBuckets[size_t(k)].rate));
    const bool discountOrSurcharge = inputs.scTipo == u"SC" || inputs.scTipo == u"MG";
    const Decimal expenses1 = readOrZero(inputs.spese, col::testata::spese);
    const Decimal percent = discountOrSurcharge ? readOrZero(inputs.scPerc, col::testata::sc_perc) : Decimal();
    const Decimal expenses2 = readOrZero(inputs.spese2, col::testata::spese2);

    const char *mask = TextForms::Mask2;
    auto text = [&](const char *column, const Decimal &v) {
        return AmountText::fitting(v, mask, QString::fromLatin1(column));
    };

    Result result;
    result.columns = summaryColumns(rates);
    auto put = [&](const char *column, const QString &value) {
        for (auto &[name, stored] : result.columns)
            if (name == QLatin1String(column)) {
                stored = value;
                return;
            }
        result.columns.emplace_back(QString::fromLatin1(column), value);
    };

    Decimal totalTax;                                     // X
    std::array<Decimal, BucketsWithFreeGoods> discount{}; // D(k)
    for (int k = 0; k < BucketCount; ++k) {
        const TestataBucketColumns &b = TestataBuckets[size_t(k)];
        const Decimal &taxable = sums.taxable[size_t(k)];
        const bool hasFreeGoods = k < BucketsWithFreeGoods;
        const Decimal freeGoods = hasFreeGoods ? sums.freeGoods[size_t(k)] : Decimal();
        if (hasFreeGoods && percent > 0)
            discount[size_t(k)] = percentOf(taxable, percent);
        if (taxable > 0 || freeGoods > 0) {
            const Decimal tax =
                percentOf(taxable, rate[size_t(k)]) + (hasFreeGoods ? sums.freeGoodsVat[size_t(k)] : Decimal());
            put(b.taxable, text(b.taxable, taxable));
            put(b.tax, text(b.tax, tax));
            if (hasFreeGoods)
                put(b.freeGoods, text(b.freeGoods, freeGoods));
            totalTax += tax;
        }
    }

    Decimal goods;
    for (const Decimal &t : sums.taxable)
        goods += t;
    Decimal discountWithVat;
    for (int k = 0; k < BucketsWithFreeGoods; ++k)
        discountWithVat += discount[size_t(k)] + percentOf(discount[size_t(k)], rate[size_t(k)]);
    const Decimal expensesWithVat = expenses1 + percentOf(expenses1, rate[0]) + expenses2 + percentOf(expenses2, rate[1]);
    Decimal total = goods + totalTax + expensesWithVat;
    if (inputs.scTipo == u"SC")
        total -= discountWithVat;
    else if (inputs.scTipo == u"MG")
        total += discountWithVat;

    put(col::testata::sc_importo, text(col::testata::sc_importo, discount[0] + discount[1] + discount[2]));
    put(col::testata::tot_doc, text(col::testata::tot_doc, total));
    result.ratesWithoutBucket = sums.ratesWithoutBucket;
    return result;
}

} // namespace InvoiceTotals
