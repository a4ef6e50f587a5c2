#include "receiving/fattura_reader.h"

#include "data/app_error.h"
#include "checks/doctype_free_xml.h"
#include "fatturapa/xml_nodes.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <stdexcept>

namespace Received {

namespace {

constexpr const char *FatturaNamespace = "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2";

// A refusal found while reading; its text is the Italian reason.
struct Refusal : std::runtime_error {
    explicit Refusal(const QString &why) : std::runtime_error(why.toStdString()), text(why) {}
    QString text;
};

using XmlNodes::child;
using XmlNodes::children;
using XmlNodes::descendant;
using XmlNodes::descendantText;
using XmlNodes::isElementNamed;
using XmlNodes::text;

// An xs:decimal of the file ("1234.50"); `what` names the element in the refusal.
Decimal number(const QString &t, const char *what)
{
    bool ok = false;
    const QByteArray latin = t.toLatin1();
    const Decimal d = Decimal::fromPlain(std::string_view(latin.constData(), size_t(latin.size())), &ok);
    if (!ok || t.isEmpty())
        throw Refusal(QStringLiteral("Valore non numerico in %1: \"%2\"").arg(QLatin1String(what), t));
    return d;
}

std::optional<Decimal> optionalNumber(const xmlNode *node, const char *name)
{
    const xmlNode *n = child(node, name);
    if (!n)
        return std::nullopt;
    return number(text(n), name);
}

Decimal numberOrZero(const xmlNode *node, const char *name) { return optionalNumber(node, name).value_or(Decimal()); }

QDate date(const QString &t, const char *what)
{
    const QDate d = QDate::fromString(t, Qt::ISODate);
    if (!d.isValid())
        throw Refusal(QStringLiteral("Data non valida in %1: \"%2\"").arg(QLatin1String(what), t));
    return d;
}

std::optional<Discount> firstDiscount(const xmlNode *parent)
{
    const xmlNode *n = child(parent, "ScontoMaggiorazione");
    if (!n)
        return std::nullopt;
    return Discount{descendantText(n, {"Tipo"}), optionalNumber(n, "Percentuale"), optionalNumber(n, "Importo")};
}

Supplier readSupplier(const xmlNode *cedente)
{
    Supplier s;
    const xmlNode *anagrafici = child(cedente, "DatiAnagrafici");
    const xmlNode *anagrafica = child(anagrafici, "Anagrafica");
    s.name = descendantText(anagrafica, {"Denominazione"});
    if (s.name.isEmpty())
        s.name = (descendantText(anagrafica, {"Nome"}) + QLatin1Char(' ') + descendantText(anagrafica, {"Cognome"})).trimmed();
    s.vatNumber = descendantText(anagrafici, {"IdFiscaleIVA", "IdCodice"});
    s.taxCode = descendantText(anagrafici, {"CodiceFiscale"});
    const xmlNode *sede = child(cedente, "Sede");
    s.address = descendantText(sede, {"Indirizzo"});
    const QString civic = descendantText(sede, {"NumeroCivico"});
    if (!civic.isEmpty())
        s.address += QLatin1Char(' ') + civic;
    s.postCode = descendantText(sede, {"CAP"});
    s.town = descendantText(sede, {"Comune"});
    s.province = descendantText(sede, {"Provincia"});
    s.country = descendantText(sede, {"Nazione"});
    return s;
}

Line readLine(const xmlNode *n)
{
    Line l;
    l.number = descendantText(n, {"NumeroLinea"}).toInt();
    l.kind = descendantText(n, {"TipoCessionePrestazione"});
    if (const xmlNode *code = child(n, "CodiceArticolo")) {
        l.codeType = descendantText(code, {"CodiceTipo"});
        l.codeValue = descendantText(code, {"CodiceValore"});
    }
    l.description = descendantText(n, {"Descrizione"});
    l.quantity = optionalNumber(n, "Quantita");
    l.unit = descendantText(n, {"UnitaMisura"});
    l.unitPrice = number(descendantText(n, {"PrezzoUnitario"}), "PrezzoUnitario");
    l.discount = firstDiscount(n);
    l.total = number(descendantText(n, {"PrezzoTotale"}), "PrezzoTotale");
    l.rate = number(descendantText(n, {"AliquotaIVA"}), "AliquotaIVA");
    l.withholding = descendantText(n, {"Ritenuta"});
    l.nature = descendantText(n, {"Natura"});
    l.administrationRef = descendantText(n, {"RiferimentoAmministrazione"});
    return l;
}

VatSummary readSummary(const xmlNode *n)
{
    VatSummary v;
    v.rate = number(descendantText(n, {"AliquotaIVA"}), "AliquotaIVA");
    v.nature = descendantText(n, {"Natura"});
    v.expenses = numberOrZero(n, "SpeseAccessorie");
    v.rounding = optionalNumber(n, "Arrotondamento");
    v.taxable = number(descendantText(n, {"ImponibileImporto"}), "ImponibileImporto");
    v.tax = number(descendantText(n, {"Imposta"}), "Imposta");
    v.chargeability = descendantText(n, {"EsigibilitaIVA"});
    v.legalReference = descendantText(n, {"RiferimentoNormativo"});
    return v;
}

Body readBody(const xmlNode *body)
{
    Body b;
    const xmlNode *doc = descendant(body, {"DatiGenerali", "DatiGeneraliDocumento"});
    if (!doc)
        throw Refusal(QStringLiteral("Manca DatiGeneraliDocumento"));
    b.documentType = descendantText(doc, {"TipoDocumento"});
    b.date = date(descendantText(doc, {"Data"}), "Data");
    b.number = descendantText(doc, {"Numero"});
    b.documentTotal = optionalNumber(doc, "ImportoTotaleDocumento");
    b.discount = firstDiscount(doc);

    const xmlNode *goods = child(body, "DatiBeniServizi");
    if (!goods)
        throw Refusal(QStringLiteral("Manca DatiBeniServizi"));
    for (const xmlNode *n : children(goods, "DettaglioLinee"))
        b.lines << readLine(n);
    for (const xmlNode *n : children(goods, "DatiRiepilogo"))
        b.summaries << readSummary(n);

    const std::vector<xmlNode *> payments = children(body, "DatiPagamento");
    for (const xmlNode *p : payments) {
        if (b.paymentCondition.isEmpty())
            b.paymentCondition = descendantText(p, {"CondizioniPagamento"});
        for (const xmlNode *d : children(p, "DettaglioPagamento")) {
            if (b.paymentMethod.isEmpty())
                b.paymentMethod = descendantText(d, {"ModalitaPagamento"});
            Instalment i;
            const QString due = descendantText(d, {"DataScadenzaPagamento"});
            if (!due.isEmpty())
                i.due = date(due, "DataScadenzaPagamento");
            i.amount = number(descendantText(d, {"ImportoPagamento"}), "ImportoPagamento");
            b.instalments << i;
        }
    }
    return b;
}

} // namespace

Decimal Body::total() const
{
    if (documentTotal)
        return *documentTotal;
    Decimal sum;
    for (const VatSummary &v : summaries)
        sum += v.taxable + v.tax;
    return sum;
}

namespace {

ReadResult readParsed(const QByteArray &xml)
{
    ReadResult result;
    if (xml.size() > MaxInvoiceFileBytes) {
        result.error = QStringLiteral("il file supera i %1 byte che il sistema di interscambio ammette").arg(MaxInvoiceFileBytes);
        return result;
    }
    // No network, no document type (and so no entity at all), no messages on the standard error.
    const DoctypeFreeXml parsed = parseDoctypeFreeXml(xml, QByteArray(), XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (parsed.hadDoctype) {
        result.error = doctypeRefusal();
        return result;
    }
    const XmlDocPtr &doc = parsed.doc;
    if (!doc) {
        result.error = QStringLiteral("il file non e un XML ben formato");
        return result;
    }
    const xmlNode *root = xmlDocGetRootElement(doc.get());
    const bool fattura = root && isElementNamed(root, "FatturaElettronica") && root->ns
        && xmlStrcmp(root->ns->href, reinterpret_cast<const xmlChar *>(FatturaNamespace)) == 0;
    const xmlNode *header = fattura ? child(root, "FatturaElettronicaHeader") : nullptr;
    const std::vector<xmlNode *> bodies = fattura ? children(root, "FatturaElettronicaBody") : std::vector<xmlNode *>();
    const xmlNode *cedente = child(header, "CedentePrestatore");
    QString format;
    if (fattura) {
        std::unique_ptr<xmlChar, decltype(xmlFree)> version(xmlGetProp(root, reinterpret_cast<const xmlChar *>("versione")), xmlFree);
        format = version ? QString::fromUtf8(reinterpret_cast<const char *>(version.get())) : QString();
    }
    const bool knownFormat = format == QLatin1String("FPR12") || format == QLatin1String("FPA12");
    if (!fattura || !knownFormat || !cedente || bodies.empty()) {
        result.error = QStringLiteral("il file non e una fattura elettronica FatturaPA");
        return result;
    }
    try {
        Document d;
        d.format = format;
        const xmlNode *transmission = child(header, "DatiTrasmissione");
        d.recipientCode = descendantText(transmission, {"CodiceDestinatario"});
        d.recipientPec = descendantText(transmission, {"PECDestinatario"});
        d.supplier = readSupplier(cedente);
        for (const xmlNode *b : bodies)
            d.bodies << readBody(b);
        result.document = std::move(d);
    } catch (const Refusal &r) {
        result.error = QStringLiteral("fattura non leggibile: %1").arg(r.text);
    } catch (const std::exception &e) {
        // Decimal overflow and the like.
        result.error = QStringLiteral("fattura non leggibile: %1").arg(errorText(e));
    }
    return result;
}

} // namespace

ReadResult readFattura(const QByteArray &xml)
{
    ReadResult result = readParsed(xml);
    releaseParserMemory(xml.size());  // the parsed tree is gone by now
    return result;
}

} // namespace Received
