#include "checks/exchange_checks.h"

#include "data/app_error.h"
#include "checks/check_report.h"
#include "checks/line_total_rule.h"
#include "fatturapa/xml_nodes.h"

#include <QStringList>
#include <libxml/tree.h>

#include <map>
#include <set>

using XmlNodes::child;
using XmlNodes::childText;
using XmlNodes::children;
using XmlNodes::descendant;
using XmlNodes::number;
using XmlNodes::path;

namespace {

const Decimal OneCent = Decimal::fromPlain("0.01");
const Decimal OneEuro = 1;
const Decimal Hundred = 100;
// Intermediate quotients keep this many decimals; far below the tolerances compared.
constexpr int WorkScale = 10;

// Decimals as written in a message.
QString shown(const Decimal &d)
{
    return d.toPlain(2);
}

// Computed line totals: up to four decimals, at least two.
QString shownPrecise(const Decimal &d)
{
    const Decimal r = d.rounded(4);
    return r.scale() <= 2 ? r.toPlain(2) : r.toPlain();
}

using Checks::Report;

// Rates compared by value (22.00 and 22.0 are the same rate), kept in the order first seen.
class RateTable {
public:
    int indexOf(const Decimal &rate)
    {
        for (size_t i = 0; i < m_rates.size(); ++i)
            if (m_rates[i] == rate)
                return int(i);
        m_rates.push_back(rate);
        return int(m_rates.size() - 1);
    }
    const std::vector<Decimal> &rates() const { return m_rates; }

private:
    std::vector<Decimal> m_rates;
};

bool isZeroRate(const xmlNode *rateNode)
{
    const auto rate = number(rateNode);
    return rate && rate->isZero();
}

// ------------------------------------------------------------------ header

void checkBuyerIdentity(const xmlNode *header, Report &report)
{
    const xmlNode *registry = descendant(header, {"CessionarioCommittente", "DatiAnagrafici"});
    if (!registry)
        return;
    const xmlNode *vat = child(registry, "IdFiscaleIVA");
    const bool hasVat = vat && !childText(vat, "IdCodice").isEmpty();
    const bool hasFiscalCode = !childText(registry, "CodiceFiscale").isEmpty();
    if (!hasVat && !hasFiscalCode)
        report.refuse("00417", registry,
                   QStringLiteral("cessionario/committente senza IdFiscaleIVA e senza CodiceFiscale: almeno uno dei due è richiesto"));
}

// ------------------------------------------------------------------ body

struct Line {
    xmlNode *node;
    QString number;  // NumeroLinea as written
};

bool isReverseCharge(const QString &nature)
{
    return nature.startsWith(QLatin1String("N6"));
}

// Natura present exactly when the rate is zero. In a received invoice a reverse-charge
// nature (N6, N6.x) goes with the rate the buyer applies, above zero, never with zero.
void checkNatureAgainstRate(const xmlNode *block, const char *zeroCode, const char *nonZeroCode, const QString &what,
                            Report &report)
{
    const xmlNode *rateNode = child(block, "AliquotaIVA");
    const xmlNode *natureNode = child(block, "Natura");
    const QString rate = XmlNodes::text(rateNode);
    const QString nature = XmlNodes::text(natureNode);
    const bool zero = isZeroRate(rateNode);
    if (report.options().received && natureNode && isReverseCharge(nature)) {
        if (zero)
            report.refuse(zeroCode, natureNode,
                          QStringLiteral("%1: in una fattura ricevuta la Natura %2 (inversione contabile) richiede "
                                         "l'AliquotaIVA applicata, diversa da zero, non %3")
                              .arg(what, nature, rate));
        return;
    }
    if (zero && !natureNode)
        report.refuse(zeroCode, block, QStringLiteral("%1: Natura assente con AliquotaIVA %2").arg(what, rate));
    else if (!zero && natureNode)
        report.refuse(nonZeroCode, natureNode,
                      QStringLiteral("%1: Natura %2 presente con AliquotaIVA %3 diversa da zero").arg(what, nature, rate));
}

// The generic natures N2, N3 and N6 are refused for files received by the exchange system
// from 1 January 2021 on; only their sub-codes remain.
const QDate GenericNatureEnd(2021, 1, 1);

void checkGenericNature(const xmlNode *block, const QString &what, Report &report)
{
    if (report.day() < GenericNatureEnd)
        return;
    const xmlNode *natureNode = child(block, "Natura");
    const QString nature = XmlNodes::text(natureNode);
    if (nature == QLatin1String("N2") || nature == QLatin1String("N3") || nature == QLatin1String("N6"))
        report.refuse("00445", natureNode,
                      QStringLiteral("%1: Natura %2 generica non più ammessa dal 1° gennaio 2021 (usare un sottocodice, "
                                     "per esempio %2.1)")
                          .arg(what, nature));
}

// A rate is a percentage (22.00), never a fraction (0.22): a rate above zero and below one
// is refused.
void checkRateIsPercentage(const xmlNode *block, const QString &what, Report &report)
{
    const xmlNode *rateNode = child(block, "AliquotaIVA");
    const auto rate = number(rateNode);
    if (rate && *rate > Decimal() && *rate < Decimal(1))
        report.refuse("00424", rateNode,
                      QStringLiteral("%1: AliquotaIVA %2 non espressa in percentuale (per il 22 per cento si scrive 22.00)")
                          .arg(what, XmlNodes::text(rateNode)));
}

// A discount or surcharge with its type needs a percentage or an amount.
void checkDiscountsHaveValues(const xmlNode *owner, const char *code, const QString &what, Report &report)
{
    for (const xmlNode *discount : children(owner, "ScontoMaggiorazione"))
        if (!childText(discount, "Tipo").isEmpty() && !child(discount, "Percentuale") && !child(discount, "Importo"))
            report.refuse(code, discount,
                          QStringLiteral("%1: ScontoMaggiorazione di tipo %2 senza Percentuale e senza Importo")
                              .arg(what, childText(discount, "Tipo")));
}

void checkWithholding(const xmlNode *document, const std::vector<Line> &lines, const std::vector<xmlNode *> &funds,
                      Report &report, const QString &documentPath)
{
    if (child(document, "DatiRitenuta"))
        return;
    QStringList withheld;
    for (const Line &line : lines)
        if (childText(line.node, "Ritenuta") == QLatin1String("SI"))
            withheld << line.number;
    if (!withheld.isEmpty())
        report.refuseAt("00411", documentPath + QStringLiteral("/DatiRitenuta"),
                        QStringLiteral("DatiRitenuta assente con Ritenuta SI nelle linee %1").arg(withheld.join(QStringLiteral(", "))));
    QStringList withheldFunds;
    for (const xmlNode *fund : funds)
        if (childText(fund, "Ritenuta") == QLatin1String("SI"))
            withheldFunds << childText(fund, "TipoCassa");
    if (!withheldFunds.isEmpty())
        report.refuseAt("00415", documentPath + QStringLiteral("/DatiRitenuta"),
                        QStringLiteral("DatiRitenuta assente con Ritenuta SI nella cassa previdenziale %1")
                            .arg(withheldFunds.join(QStringLiteral(", "))));
}

// Reverse charge (N6, N6.x) and split payment (EsigibilitaIVA S) exclude each other.
void checkReverseChargeNotSplit(const xmlNode *summary, const QString &what, Report &report)
{
    const QString nature = childText(summary, "Natura");
    const xmlNode *chargeability = child(summary, "EsigibilitaIVA");
    if (isReverseCharge(nature) && XmlNodes::text(chargeability) == QLatin1String("S"))
        report.refuse("00420", chargeability,
                      QStringLiteral("%1: Natura %2 (inversione contabile) con EsigibilitaIVA S (scissione dei pagamenti)")
                          .arg(what, nature));
}

// Every nature of the lines and contributions has its summary, and every summary's nature
// is used by a line or a contribution.
void checkNaturesSummarised(const xmlNode *goods, const std::vector<Line> &lines, const std::vector<xmlNode *> &funds,
                            const std::vector<xmlNode *> &summaries, Report &report)
{
    std::map<QString, QStringList> used;  // nature -> "linea 2", "cassa TC22"
    for (const Line &line : lines)
        if (const QString n = childText(line.node, "Natura"); !n.isEmpty())
            used[n] << QStringLiteral("linea %1").arg(line.number);
    for (const xmlNode *fund : funds)
        if (const QString n = childText(fund, "Natura"); !n.isEmpty())
            used[n] << QStringLiteral("cassa %1").arg(childText(fund, "TipoCassa"));
    std::set<QString> summarised;
    for (const xmlNode *summary : summaries) {
        const xmlNode *natureNode = child(summary, "Natura");
        const QString n = XmlNodes::text(natureNode);
        if (n.isEmpty())
            continue;
        summarised.insert(n);
        if (!used.count(n))
            report.refuse("00444", natureNode,
                          QStringLiteral("riepilogo con Natura %1 che nessuna linea e nessuna cassa previdenziale usa").arg(n));
    }
    for (const auto &[nature, users] : used)
        if (!summarised.count(nature))
            report.refuseAt("00444", path(goods) + QStringLiteral("/DatiRiepilogo"),
                            QStringLiteral("nessun DatiRiepilogo con Natura %1, usata da %2").arg(nature, users.join(QStringLiteral(", "))));
}

// (PrezzoUnitario +/- each discount or surcharge in turn) x Quantita; a percentage applies to
// the price as it stands after the previous ones, an amount is per unit.
void checkLineTotal(const Line &line, Report &report)
{
    const auto unitPrice = number(child(line.node, "PrezzoUnitario"));
    const xmlNode *totalNode = child(line.node, "PrezzoTotale");
    const auto total = number(totalNode);
    if (!unitPrice || !total)
        return;
    const xmlNode *quantityNode = child(line.node, "Quantita");
    const auto quantity = quantityNode ? number(quantityNode) : std::optional<Decimal>(1);
    if (!quantity)
        return;
    std::vector<LineTotalRule::Adjustment> adjustments;
    QStringList steps;
    for (const xmlNode *discount : children(line.node, "ScontoMaggiorazione")) {
        const QString kind = childText(discount, "Tipo");
        const auto percent = number(child(discount, "Percentuale"));
        const auto amount = number(child(discount, "Importo"));
        adjustments.push_back({kind == QLatin1String("MG"), percent, amount});
        if (percent)
            steps << QStringLiteral("%1 %2%").arg(kind, XmlNodes::text(child(discount, "Percentuale")));
        else if (amount)
            steps << QStringLiteral("%1 %2").arg(kind, XmlNodes::text(child(discount, "Importo")));
    }
    const Decimal expected = LineTotalRule::expectedTotal(*unitPrice, adjustments, *quantity);
    if (!LineTotalRule::isMet(*total, expected)) {
        const QString discounts = steps.isEmpty() ? QString() : QStringLiteral(" con ") + steps.join(QStringLiteral(", "));
        report.refuse("00423", totalNode,
                   QStringLiteral("linea %1: PrezzoTotale %2 diverso da PrezzoUnitario %3%4 × Quantita %5 = %6 (tolleranza 0.01)")
                       .arg(line.number, XmlNodes::text(totalNode), XmlNodes::text(child(line.node, "PrezzoUnitario")),
                            discounts, quantityNode ? XmlNodes::text(quantityNode) : QStringLiteral("1"),
                            shownPrecise(expected)));
    }
}

void checkSummaryTax(const xmlNode *summary, Report &report)
{
    const auto taxable = number(child(summary, "ImponibileImporto"));
    const auto rate = number(child(summary, "AliquotaIVA"));
    const xmlNode *taxNode = child(summary, "Imposta");
    const auto tax = number(taxNode);
    if (!taxable || !rate || !tax)
        return;
    const Decimal expected = (*taxable * *rate).divided(Hundred, WorkScale).rounded(2);
    if ((*tax - expected).abs() > OneCent)
        report.refuse("00421", taxNode,
                   QStringLiteral("Imposta %1 diversa da ImponibileImporto %2 × AliquotaIVA %3 / 100 = %4 (tolleranza 0.01)")
                       .arg(XmlNodes::text(taxNode), childText(summary, "ImponibileImporto"), childText(summary, "AliquotaIVA"),
                            shown(expected)));
}

void checkBody(const xmlNode *body, Report &report)
{
    const xmlNode *document = descendant(body, {"DatiGenerali", "DatiGeneraliDocumento"});
    const xmlNode *goods = child(body, "DatiBeniServizi");
    std::vector<Line> lines;
    for (xmlNode *n : children(goods, "DettaglioLinee"))
        lines.push_back({n, childText(n, "NumeroLinea")});
    const std::vector<xmlNode *> summaries = children(goods, "DatiRiepilogo");
    const std::vector<xmlNode *> funds = children(document, "DatiCassaPrevidenziale");

    checkDiscountsHaveValues(document, "00437", QStringLiteral("documento"), report);
    for (const Line &line : lines) {
        const QString what = QStringLiteral("linea %1").arg(line.number);
        checkRateIsPercentage(line.node, what, report);
        checkNatureAgainstRate(line.node, "00400", "00401", what, report);
        checkGenericNature(line.node, what, report);
        checkDiscountsHaveValues(line.node, "00438", what, report);
        checkLineTotal(line, report);
    }
    for (const xmlNode *summary : summaries) {
        const QString what = QStringLiteral("riepilogo aliquota %1").arg(childText(summary, "AliquotaIVA"));
        checkRateIsPercentage(summary, what, report);
        checkNatureAgainstRate(summary, "00429", "00430", what, report);
        checkGenericNature(summary, what, report);
        checkReverseChargeNotSplit(summary, what, report);
        checkSummaryTax(summary, report);
    }
    for (const xmlNode *fund : funds) {
        const QString what = QStringLiteral("cassa previdenziale %1").arg(childText(fund, "TipoCassa"));
        checkRateIsPercentage(fund, what, report);
        checkNatureAgainstRate(fund, "00413", "00414", what, report);
        checkGenericNature(fund, what, report);
    }
    checkWithholding(document, lines, funds, report, path(document));
    checkNaturesSummarised(goods, lines, funds, summaries, report);

    // Per rate: what the lines and the pension fund contributions use, and what the summaries declare.
    struct PerRate {
        Decimal used;          // lines' PrezzoTotale + contributions
        Decimal declared;      // summaries' ImponibileImporto
        Decimal rounding;      // summaries' Arrotondamento
        QStringList users;     // "linea 3", "cassa TC22"
        const xmlNode *firstSummary = nullptr;
        bool summarised = false;
    };
    RateTable rates;
    std::map<int, PerRate> perRate;
    for (const Line &line : lines) {
        const auto rate = number(child(line.node, "AliquotaIVA"));
        if (!rate)
            continue;
        PerRate &r = perRate[rates.indexOf(*rate)];
        r.used += number(child(line.node, "PrezzoTotale")).value_or(Decimal());
        r.users << QStringLiteral("linea %1").arg(line.number);
    }
    for (const xmlNode *fund : funds) {
        const auto rate = number(child(fund, "AliquotaIVA"));
        if (!rate)
            continue;
        PerRate &r = perRate[rates.indexOf(*rate)];
        r.used += number(child(fund, "ImportoContributoCassa")).value_or(Decimal());
        r.users << QStringLiteral("cassa %1").arg(childText(fund, "TipoCassa"));
    }
    for (const xmlNode *summary : summaries) {
        const auto rate = number(child(summary, "AliquotaIVA"));
        if (!rate)
            continue;
        PerRate &r = perRate[rates.indexOf(*rate)];
        r.declared += number(child(summary, "ImponibileImporto")).value_or(Decimal());
        r.rounding += number(child(summary, "Arrotondamento")).value_or(Decimal());
        if (!r.firstSummary)
            r.firstSummary = summary;
        r.summarised = true;
    }
    const QString goodsPath = path(goods);
    for (size_t i = 0; i < rates.rates().size(); ++i) {
        const PerRate &r = perRate[int(i)];
        const QString rate = shown(rates.rates()[i]);
        if (r.users.isEmpty()) {
            report.refuse("00443", child(r.firstSummary, "AliquotaIVA"),
                          QStringLiteral("DatiRiepilogo con AliquotaIVA %1 che nessuna linea e nessuna cassa previdenziale usa").arg(rate));
            continue;
        }
        if (!r.summarised) {
            report.refuseAt("00419", goodsPath + QStringLiteral("/DatiRiepilogo"),
                         QStringLiteral("nessun DatiRiepilogo con AliquotaIVA %1, usata da %2").arg(rate, r.users.join(QStringLiteral(", "))));
            continue;
        }
        const Decimal expected = r.used + r.rounding;
        if ((r.declared - expected).abs() > OneEuro)
            report.refuse("00422", child(r.firstSummary, "ImponibileImporto"),
                       QStringLiteral("ImponibileImporto %1 per l'aliquota %2 diverso dalla somma dei PrezzoTotale e dei contributi "
                                         "di cassa %3 + Arrotondamento %4 = %5 (tolleranza 1.00)")
                           .arg(shown(r.declared), rate, shown(r.used), shown(r.rounding), shown(expected)));
    }
}

} // namespace

std::vector<PresendProblem> exchangeSystemChecks(xmlDoc *doc, const CheckOptions &options)
{
    Report report(options);
    const xmlNode *root = xmlDocGetRootElement(doc);
    try {
        const xmlNode *header = child(root, "FatturaElettronicaHeader");
        Checks::checkTransmission(root, report);
        checkBuyerIdentity(header, report);
        for (const xmlNode *body : children(root, "FatturaElettronicaBody")) {
            Checks::checkDocumentTypeParties(header, body, report);
            Checks::checkDocumentData(body, report);
            checkBody(body, report);
        }
        Checks::checkTaxCodes(header, report);
    } catch (const AppError &e) {
        // Only amounts far beyond any invoice can overflow the exact arithmetic.
        report.refuseAt("00200", QString(), QStringLiteral("importi non calcolabili: %1").arg(e.text()));
    }
    return report.take();
}
