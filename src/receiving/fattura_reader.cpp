#include "fattura_reader.h"

#include "doctype_free_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <mutex>
#include <stdexcept>

namespace Received {

namespace {

constexpr const char *FatturaNamespace = "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2";

// A refusal found while reading; its text is the Italian reason.
struct Refusal : std::runtime_error {
    explicit Refusal(const QString &why) : std::runtime_error(why.toStdString()), text(why) {}
    QString text;
};

bool named(const xmlNode *node, const char *name)
{
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

const xmlNode *child(const xmlNode *parent, const char *name)
{
    if (!parent)
        return nullptr;
    for (const xmlNode *n = parent->children; n; n = n->next)
        if (named(n, name))
            return n;
    return nullptr;
}

QList<const xmlNode *> children(const xmlNode *parent, const char *name)
{
    QList<const xmlNode *> out;
    if (!parent)
        return out;
    for (const xmlNode *n = parent->children; n; n = n->next)
        if (named(n, name))
            out << n;
    return out;
}

// The element's text, trimmed; empty for a missing element.
QString text(const xmlNode *node)
{
    if (!node)
        return {};
    std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(node), xmlFree);
    return content ? QString::fromUtf8(reinterpret_cast<const char *>(content.get())).trimmed() : QString();
}

// Follows a path of element names from `node`.
const xmlNode *at(const xmlNode *node, std::initializer_list<const char *> path)
{
    for (const char *name : path)
        node = child(node, name);
    return node;
}

QString textAt(const xmlNode *node, std::initializer_list<const char *> path) { return text(at(node, path)); }

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
    return Discount{textAt(n, {"Tipo"}), optionalNumber(n, "Percentuale"), optionalNumber(n, "Importo")};
}

Supplier readSupplier(const xmlNode *cedente)
{
    Supplier s;
    const xmlNode *anagrafici = child(cedente, "DatiAnagrafici");
    const xmlNode *anagrafica = child(anagrafici, "Anagrafica");
    s.name = textAt(anagrafica, {"Denominazione"});
    if (s.name.isEmpty())
        s.name = (textAt(anagrafica, {"Nome"}) + QLatin1Char(' ') + textAt(anagrafica, {"Cognome"})).trimmed();
    s.vatNumber = textAt(anagrafici, {"IdFiscaleIVA", "IdCodice"});
    s.taxCode = textAt(anagrafici, {"CodiceFiscale"});
    const xmlNode *sede = child(cedente, "Sede");
    s.address = textAt(sede, {"Indirizzo"});
    const QString civic = textAt(sede, {"NumeroCivico"});
    if (!civic.isEmpty())
        s.address += QLatin1Char(' ') + civic;
    s.postCode = textAt(sede, {"CAP"});
    s.town = textAt(sede, {"Comune"});
    s.province = textAt(sede, {"Provincia"});
    s.country = textAt(sede, {"Nazione"});
    return s;
}

Line readLine(const xmlNode *n)
{
    Line l;
    l.number = textAt(n, {"NumeroLinea"}).toInt();
    l.kind = textAt(n, {"TipoCessionePrestazione"});
    if (const xmlNode *code = child(n, "CodiceArticolo")) {
        l.codeType = textAt(code, {"CodiceTipo"});
        l.codeValue = textAt(code, {"CodiceValore"});
    }
    l.description = textAt(n, {"Descrizione"});
    l.quantity = optionalNumber(n, "Quantita");
    l.unit = textAt(n, {"UnitaMisura"});
    l.unitPrice = number(textAt(n, {"PrezzoUnitario"}), "PrezzoUnitario");
    l.discount = firstDiscount(n);
    l.total = number(textAt(n, {"PrezzoTotale"}), "PrezzoTotale");
    l.rate = number(textAt(n, {"AliquotaIVA"}), "AliquotaIVA");
    l.withholding = textAt(n, {"Ritenuta"});
    l.nature = textAt(n, {"Natura"});
    l.administrationRef = textAt(n, {"RiferimentoAmministrazione"});
    return l;
}

VatSummary readSummary(const xmlNode *n)
{
    VatSummary v;
    v.rate = number(textAt(n, {"AliquotaIVA"}), "AliquotaIVA");
    v.nature = textAt(n, {"Natura"});
    v.expenses = numberOrZero(n, "SpeseAccessorie");
    v.rounding = optionalNumber(n, "Arrotondamento");
    v.taxable = number(textAt(n, {"ImponibileImporto"}), "ImponibileImporto");
    v.tax = number(textAt(n, {"Imposta"}), "Imposta");
    v.chargeability = textAt(n, {"EsigibilitaIVA"});
    v.legalReference = textAt(n, {"RiferimentoNormativo"});
    return v;
}

Body readBody(const xmlNode *body)
{
    Body b;
    const xmlNode *doc = at(body, {"DatiGenerali", "DatiGeneraliDocumento"});
    if (!doc)
        throw Refusal(QStringLiteral("Manca DatiGeneraliDocumento"));
    b.documentType = textAt(doc, {"TipoDocumento"});
    b.date = date(textAt(doc, {"Data"}), "Data");
    b.number = textAt(doc, {"Numero"});
    b.documentTotal = optionalNumber(doc, "ImportoTotaleDocumento");
    b.discount = firstDiscount(doc);

    const xmlNode *goods = child(body, "DatiBeniServizi");
    if (!goods)
        throw Refusal(QStringLiteral("Manca DatiBeniServizi"));
    for (const xmlNode *n : children(goods, "DettaglioLinee"))
        b.lines << readLine(n);
    for (const xmlNode *n : children(goods, "DatiRiepilogo"))
        b.summaries << readSummary(n);

    const QList<const xmlNode *> payments = children(body, "DatiPagamento");
    for (const xmlNode *p : payments) {
        if (b.paymentCondition.isEmpty())
            b.paymentCondition = textAt(p, {"CondizioniPagamento"});
        for (const xmlNode *d : children(p, "DettaglioPagamento")) {
            if (b.paymentMethod.isEmpty())
                b.paymentMethod = textAt(d, {"ModalitaPagamento"});
            Instalment i;
            const QString due = textAt(d, {"DataScadenzaPagamento"});
            if (!due.isEmpty())
                i.due = date(due, "DataScadenzaPagamento");
            i.amount = number(textAt(d, {"ImportoPagamento"}), "ImportoPagamento");
            b.instalments << i;
        }
    }
    return b;
}

void initParser()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
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
    initParser();
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
    const bool fattura = root && named(root, "FatturaElettronica") && root->ns
        && xmlStrcmp(root->ns->href, reinterpret_cast<const xmlChar *>(FatturaNamespace)) == 0;
    const xmlNode *header = fattura ? child(root, "FatturaElettronicaHeader") : nullptr;
    const QList<const xmlNode *> bodies = fattura ? children(root, "FatturaElettronicaBody") : QList<const xmlNode *>();
    const xmlNode *cedente = child(header, "CedentePrestatore");
    QString format;
    if (fattura) {
        std::unique_ptr<xmlChar, decltype(xmlFree)> version(xmlGetProp(root, reinterpret_cast<const xmlChar *>("versione")), xmlFree);
        format = version ? QString::fromUtf8(reinterpret_cast<const char *>(version.get())) : QString();
    }
    const bool knownFormat = format == QLatin1String("FPR12") || format == QLatin1String("FPA12");
    if (!fattura || !knownFormat || !cedente || bodies.isEmpty()) {
        result.error = QStringLiteral("il file non e una fattura elettronica FatturaPA");
        return result;
    }
    try {
        Document d;
        d.format = format;
        const xmlNode *transmission = child(header, "DatiTrasmissione");
        d.recipientCode = textAt(transmission, {"CodiceDestinatario"});
        d.recipientPec = textAt(transmission, {"PECDestinatario"});
        d.supplier = readSupplier(cedente);
        for (const xmlNode *b : bodies)
            d.bodies << readBody(b);
        result.document = std::move(d);
    } catch (const Refusal &r) {
        result.error = QStringLiteral("fattura non leggibile: %1").arg(r.text);
    } catch (const std::exception &e) {
        // Decimal overflow and the like.
        result.error = QStringLiteral("fattura non leggibile: %1").arg(QString::fromUtf8(e.what()));
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
