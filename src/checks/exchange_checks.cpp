#include "exchange_checks.h"

#include "app_error.h"
#include "line_total_rule.h"
#include "xml_nodes.h"

#include <QStringList>
#include <libxml/tree.h>

#include <map>

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

// Collects the problems of one file.
class Report {
public:
    void add(const char *code, const xmlNode *where, const QString &detail)
    {
        m_problems.push_back({QLatin1String(code), path(where), detail});
    }
    void addAt(const char *code, const QString &where, const QString &detail)
    {
        m_problems.push_back({QLatin1String(code), where, detail});
    }
    std::vector<PresendProblem> take() { return std::move(m_problems); }

private:
    std::vector<PresendProblem> m_problems;
};

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

void checkRecipientCode(const xmlNode *header, Report &report)
{
    const xmlNode *transmission = child(header, "DatiTrasmissione");
    const QString format = childText(transmission, "FormatoTrasmissione");
    const xmlNode *codeNode = child(transmission, "CodiceDestinatario");
    const QString code = XmlNodes::text(codeNode);
    int wanted = 0;
    if (format == QLatin1String("FPR12"))
        wanted = 7;
    else if (format == QLatin1String("FPA12"))
        wanted = 6;
    if (wanted && codeNode && code.size() != wanted)
        report.add("00427", codeNode,
                   QStringLiteral("CodiceDestinatario \"%1\" di %2 caratteri con FormatoTrasmissione %3: ne servono %4")
                       .arg(code)
                       .arg(code.size())
                       .arg(format)
                       .arg(wanted));
}

void checkBuyerIdentity(const xmlNode *header, Report &report)
{
    const xmlNode *registry = descendant(header, {"CessionarioCommittente", "DatiAnagrafici"});
    if (!registry)
        return;
    const xmlNode *vat = child(registry, "IdFiscaleIVA");
    const bool hasVat = vat && !childText(vat, "IdCodice").isEmpty();
    const bool hasFiscalCode = !childText(registry, "CodiceFiscale").isEmpty();
    if (!hasVat && !hasFiscalCode)
        report.add("00417", registry,
                   QStringLiteral("cessionario/committente senza IdFiscaleIVA e senza CodiceFiscale: almeno uno dei due è richiesto"));
}

// ------------------------------------------------------------------ body

struct Line {
    xmlNode *node;
    QString number;  // NumeroLinea as written
};

void checkNatureAgainstRate(const xmlNode *block, const char *zeroCode, const char *nonZeroCode, const QString &what,
                            Report &report)
{
    const xmlNode *rateNode = child(block, "AliquotaIVA");
    const xmlNode *natureNode = child(block, "Natura");
    const QString rate = XmlNodes::text(rateNode);
    if (isZeroRate(rateNode) && !natureNode)
        report.add(zeroCode, block, QStringLiteral("%1: Natura assente con AliquotaIVA %2").arg(what, rate));
    else if (!isZeroRate(rateNode) && natureNode)
        report.add(nonZeroCode, natureNode,
                   QStringLiteral("%1: Natura %2 presente con AliquotaIVA %3 diversa da zero")
                       .arg(what, XmlNodes::text(natureNode), rate));
}

void checkGenericNature(const xmlNode *block, const QString &what, Report &report)
{
    const xmlNode *natureNode = child(block, "Natura");
    const QString nature = XmlNodes::text(natureNode);
    if (nature == QLatin1String("N2") || nature == QLatin1String("N3") || nature == QLatin1String("N6"))
        report.add("00445", natureNode,
                   QStringLiteral("%1: Natura %2 generica non più ammessa (usare un sottocodice, per esempio %2.1)")
                       .arg(what, nature));
}

void checkWithholding(const xmlNode *document, const std::vector<Line> &lines, Report &report, const QString &documentPath)
{
    QStringList withheld;
    for (const Line &line : lines)
        if (childText(line.node, "Ritenuta") == QLatin1String("SI"))
            withheld << line.number;
    if (!withheld.isEmpty() && !child(document, "DatiRitenuta"))
        report.addAt("00411", documentPath + QStringLiteral("/DatiRitenuta"),
                     QStringLiteral("DatiRitenuta assente con Ritenuta SI nelle linee %1").arg(withheld.join(QStringLiteral(", "))));
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
        report.add("00423", totalNode,
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
        report.add("00421", taxNode,
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

    for (const Line &line : lines) {
        const QString what = QStringLiteral("linea %1").arg(line.number);
        checkNatureAgainstRate(line.node, "00400", "00401", what, report);
        checkGenericNature(line.node, what, report);
        checkLineTotal(line, report);
    }
    for (const xmlNode *summary : summaries) {
        const QString what = QStringLiteral("riepilogo aliquota %1").arg(childText(summary, "AliquotaIVA"));
        checkNatureAgainstRate(summary, "00429", "00430", what, report);
        checkGenericNature(summary, what, report);
        checkSummaryTax(summary, report);
    }
    for (const xmlNode *fund : funds)
        checkGenericNature(fund, QStringLiteral("cassa previdenziale %1").arg(childText(fund, "TipoCassa")), report);
    checkWithholding(document, lines, report, path(document));

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
        if (!r.summarised) {
            report.addAt("00419", goodsPath + QStringLiteral("/DatiRiepilogo"),
                         QStringLiteral("nessun DatiRiepilogo con AliquotaIVA %1, usata da %2").arg(rate, r.users.join(QStringLiteral(", "))));
            continue;
        }
        const Decimal expected = r.used + r.rounding;
        if ((r.declared - expected).abs() > OneEuro)
            report.add("00422", child(r.firstSummary, "ImponibileImporto"),
                       QStringLiteral("ImponibileImporto %1 per l'aliquota %2 diverso dalla somma dei PrezzoTotale %3 "
                                      "+ Arrotondamento %4 = %5 (tolleranza 1.00)")
                           .arg(shown(r.declared), rate, shown(r.used), shown(r.rounding), shown(expected)));
    }
}

} // namespace

std::vector<PresendProblem> exchangeSystemChecks(xmlDoc *doc)
{
    Report report;
    const xmlNode *root = xmlDocGetRootElement(doc);
    try {
        const xmlNode *header = child(root, "FatturaElettronicaHeader");
        checkRecipientCode(header, report);
        checkBuyerIdentity(header, report);
        for (const xmlNode *body : children(root, "FatturaElettronicaBody"))
            checkBody(body, report);
    } catch (const AppError &e) {
        // Only amounts far beyond any invoice can overflow the exact arithmetic.
        report.addAt("schema", QString(), QStringLiteral("importi non calcolabili: %1").arg(e.text()));
    }
    return report.take();
}
