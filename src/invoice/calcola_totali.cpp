#include "calcola_totali.h"

#include "amount_text.h"
#include "app_error.h"
#include "db_quiet_walk.h"
#include "diz.h"
#include "text_forms.h"

#include <QStringList>
#include <array>
#include <utility>
#include <vector>

namespace {

constexpr int BucketCount = 4;
// Buckets 1 to 3 keep free goods, expenses and the header discount apart; bucket 4 does not.
constexpr int BucketsWithFreeGoods = 3;

struct BucketColumns {
    const char *rate;
    const char *taxable;
    const char *tax;
    const char *freeGoods;  // nullptr for bucket 4
};

constexpr std::array<BucketColumns, BucketCount> Buckets{{
    {"aliquota", "imponibile", "imposta", "tot_omaggio"},
    {"aliquota2", "imponibile2", "imposta2", "tot_omaggio2"},
    {"aliquota3", "imponibile3", "imposta3", "tot_omaggio3"},
    {"aliquota4", "imponibile4", "imposta4", nullptr},
}};

QString col(const char *name) { return QString::fromLatin1(name); }

bool isFreeGoods(const QString &kind)
{
    return kind == u"SC" || kind == u"AB" || kind == u"PR";
}

// Bucket whose rate text is `rate`, or -1. The empty text is never a rate: an empty
// rate column is a free bucket.
int bucketOf(const DbTable &head, const QString &rate)
{
    if (rate.isEmpty())
        return -1;
    for (int k = 0; k < BucketCount; ++k)
        if (head.text(col(Buckets[size_t(k)].rate)) == rate)
            return k;
    return -1;
}

// Gives `rate` the first free bucket, in the order 1 to 4, and posts the header.
void assignRate(DbTable &head, const QString &rate)
{
    if (rate.isEmpty() || bucketOf(head, rate) >= 0)
        return;
    for (const BucketColumns &b : Buckets) {
        if (head.text(col(b.rate)).isEmpty()) {
            head.edit();
            head.setText(col(b.rate), rate);
            head.post();
            return;
        }
    }
}

// What the visit of the lines sums up per bucket.
struct LineSums {
    std::array<Decimal, BucketCount> taxable{};               // T(k)
    std::array<Decimal, BucketsWithFreeGoods> freeGoods{};    // G(k)
    std::array<Decimal, BucketsWithFreeGoods> freeGoodsVat{}; // V(k)
    QStringList ratesWithoutBucket;                           // counted lines left out, by rate
};

void addLine(const DbTable &head, const DbTable &lines, LineSums &sums)
{
    const QString rate = lines.text(QStringLiteral("aliquota"));
    const int k = bucketOf(head, rate);
    const Decimal amount = AmountText::readNumber(lines.text(QStringLiteral("prezzo_tot")), QStringLiteral("prezzo_tot"));
    if (k < 0) {
        if (!amount.isZero() && !sums.ratesWithoutBucket.contains(rate))
            sums.ratesWithoutBucket << rate;
        return;
    }
    if (k < BucketsWithFreeGoods && isFreeGoods(lines.text(QStringLiteral("tipo_cessione")))) {
        sums.freeGoodsVat[size_t(k)] += AmountText::percentOf(amount, AmountText::readNumber(rate, QStringLiteral("aliquota")));
        sums.freeGoods[size_t(k)] += amount;
    } else {
        sums.taxable[size_t(k)] += amount;
    }
}

LineSums visitLines(DbTable &head, DbTable &lines)
{
    LineSums sums;
    // The screens keep showing the line that was current.
    DbQuietWalk walk(lines);
    for (lines.first(); !lines.eof(); lines.next()) {
        if (AmountText::readNumber(lines.text(QStringLiteral("quantita")), QStringLiteral("quantita")) <= 0)
            continue;
        assignRate(head, lines.text(QStringLiteral("aliquota")));
        addLine(head, lines, sums);
    }
    return sums;
}

// The header columns to write, as column/text pairs in writing order.
using ColumnTexts = std::vector<std::pair<QString, QString>>;

ColumnTexts summaryTexts(const DbTable &head, const LineSums &sums)
{
    using AmountText::percentOf;
    using AmountText::readOrZero;
    const char *mask = TextForms::Mask2;
    auto put = [&](ColumnTexts &out, const char *column, const Decimal &v) {
        out.emplace_back(col(column), AmountText::fitting(v, mask, col(column)));
    };

    std::array<Decimal, BucketCount> rate;
    for (int k = 0; k < BucketCount; ++k)
        rate[size_t(k)] = readOrZero(head.text(col(Buckets[size_t(k)].rate)), col(Buckets[size_t(k)].rate));

    const QString discountType = head.text(QStringLiteral("sc_tipo"));
    const bool discountOrSurcharge = discountType == u"SC" || discountType == u"MG";
    const Decimal expenses1 = readOrZero(head.text(QStringLiteral("spese")), QStringLiteral("spese"));
    const Decimal percent =
        discountOrSurcharge ? readOrZero(head.text(QStringLiteral("sc_perc")), QStringLiteral("sc_perc")) : Decimal();
    const Decimal expenses2 = readOrZero(head.text(QStringLiteral("spese2")), QStringLiteral("spese2"));

    ColumnTexts out;
    Decimal totalTax;                                    // X
    std::array<Decimal, BucketsWithFreeGoods> discount{}; // D(k)
    for (int k = 0; k < BucketCount; ++k) {
        const BucketColumns &b = Buckets[size_t(k)];
        const Decimal &taxable = sums.taxable[size_t(k)];
        const bool hasFreeGoods = k < BucketsWithFreeGoods;
        const Decimal freeGoods = hasFreeGoods ? sums.freeGoods[size_t(k)] : Decimal();
        if (hasFreeGoods && percent > 0)
            discount[size_t(k)] = percentOf(taxable, percent);
        if (taxable > 0 || freeGoods > 0) {
            const Decimal tax = percentOf(taxable, rate[size_t(k)])
                + (hasFreeGoods ? sums.freeGoodsVat[size_t(k)] : Decimal());
            put(out, b.taxable, taxable);
            put(out, b.tax, tax);
            if (hasFreeGoods)
                put(out, b.freeGoods, freeGoods);
            totalTax += tax;
        }
    }

    Decimal goods;
    for (const Decimal &t : sums.taxable)
        goods += t;
    Decimal discountWithVat;
    for (int k = 0; k < BucketsWithFreeGoods; ++k)
        discountWithVat += discount[size_t(k)] + percentOf(discount[size_t(k)], rate[size_t(k)]);
    const Decimal expensesWithVat =
        expenses1 + percentOf(expenses1, rate[0]) + expenses2 + percentOf(expenses2, rate[1]);
    Decimal total = goods + totalTax + expensesWithVat;
    if (discountType == u"SC")
        total -= discountWithVat;
    else if (discountType == u"MG")
        total += discountWithVat;

    put(out, "sc_importo", discount[0] + discount[1] + discount[2]);
    put(out, "tot_doc", total);
    return out;
}

} // namespace

void CalcolaTotali(TDiz &diz)
{
    DbTable &head = diz.Testata;

    head.edit();
    for (const BucketColumns &b : Buckets) {
        head.setText(col(b.taxable), QString());
        head.setText(col(b.tax), QString());
        head.setText(col(b.rate), QString());
    }
    head.post();

    const LineSums sums = visitLines(head, diz.Detta);

    // Every text is formed before the header is touched, so that an amount too long for
    // its column leaves the header as the visit of the lines posted it.
    const ColumnTexts texts = summaryTexts(head, sums);
    head.edit();
    for (const auto &[column, text] : texts)
        head.setText(column, text);
    head.post();

    if (!sums.ratesWithoutBucket.isEmpty()) {
        QStringList shown;
        for (const QString &rate : sums.ratesWithoutBucket)
            shown << (rate.isEmpty() ? QStringLiteral("\"\"") : rate);
        throw AppError(QStringLiteral("Aliquota IVA non riepilogata: %1").arg(shown.join(QStringLiteral(", "))));
    }
}
