// The header's rules and the parties: transmission format and recipient code, document
// types that bind seller and buyer, formal checks of VAT numbers and fiscal codes.
#include "checks/check_report.h"
#include "checks/tax_codes.h"
#include "fatturapa/xml_nodes.h"

#include <libxml/tree.h>

using XmlNodes::child;
using XmlNodes::childText;
using XmlNodes::descendant;

namespace Checks {

namespace {

// How the exchange system tells whether seller and buyer are the same subject: by their
// VAT identifiers when both have one, otherwise by their fiscal codes.
struct Party {
    QString vatCountry, vatCode, fiscalCode;

    explicit Party(const xmlNode *registry)
    {
        const xmlNode *vat = child(registry, "IdFiscaleIVA");
        vatCountry = childText(vat, "IdPaese");
        vatCode = childText(vat, "IdCodice");
        fiscalCode = childText(registry, "CodiceFiscale");
    }
    bool sameAs(const Party &o) const
    {
        if (!vatCode.isEmpty() && !o.vatCode.isEmpty())
            return vatCountry == o.vatCountry && vatCode == o.vatCode;
        if (!fiscalCode.isEmpty() && !o.fiscalCode.isEmpty())
            return fiscalCode == o.fiscalCode;
        return false;
    }
};

bool oneOf(const QString &value, std::initializer_list<const char *> list)
{
    for (const char *item : list)
        if (value == QLatin1String(item))
            return true;
    return false;
}

// A VAT identifier (IdPaese + IdCodice) is checked only when Italian.
void checkVatIdentifier(const xmlNode *vat, const char *code, const QString &who, Report &report)
{
    if (childText(vat, "IdPaese") != QLatin1String("IT"))
        return;
    const xmlNode *codeNode = child(vat, "IdCodice");
    const QString value = XmlNodes::text(codeNode);
    if (value.isEmpty())
        return;
    const QString fault = TaxCodes::vatNumberFault(value);
    if (!fault.isEmpty())
        report.warn(code, codeNode, QStringLiteral("%1: %2").arg(who, fault));
}

void checkFiscalCode(const xmlNode *registry, const char *code, const QString &who, Report &report)
{
    const xmlNode *node = child(registry, "CodiceFiscale");
    const QString value = XmlNodes::text(node);
    if (value.isEmpty())
        return;
    const QString fault = TaxCodes::fiscalCodeFault(value);
    if (!fault.isEmpty())
        report.warn(code, node, QStringLiteral("%1: %2").arg(who, fault));
}

constexpr const char *Formal = "controllo formale";

} // namespace

void checkTransmission(const xmlNode *root, Report &report)
{
    const xmlNode *transmission = descendant(root, {"FatturaElettronicaHeader", "DatiTrasmissione"});
    const xmlNode *formatNode = child(transmission, "FormatoTrasmissione");
    const QString format = XmlNodes::text(formatNode);
    xmlChar *versionAttr = xmlGetProp(root, reinterpret_cast<const xmlChar *>("versione"));
    const QString version = QString::fromUtf8(reinterpret_cast<const char *>(versionAttr)).trimmed();
    xmlFree(versionAttr);
    if (formatNode && format != version)
        report.refuse("00428", formatNode,
                      QStringLiteral("FormatoTrasmissione %1 diverso dall'attributo versione \"%2\" dell'elemento radice")
                          .arg(format, version));

    const xmlNode *codeNode = child(transmission, "CodiceDestinatario");
    const QString code = XmlNodes::text(codeNode);
    int wanted = 0;
    if (format == QLatin1String("FPR12"))
        wanted = 7;
    else if (format == QLatin1String("FPA12"))
        wanted = 6;
    if (wanted && codeNode && code.size() != wanted)
        report.refuse("00427", codeNode,
                      QStringLiteral("CodiceDestinatario \"%1\" di %2 caratteri con FormatoTrasmissione %3: ne servono %4")
                          .arg(code)
                          .arg(code.size())
                          .arg(format)
                          .arg(wanted));
}

void checkDocumentTypeParties(const xmlNode *header, const xmlNode *body, Report &report)
{
    const xmlNode *typeNode = descendant(body, {"DatiGenerali", "DatiGeneraliDocumento", "TipoDocumento"});
    const QString type = XmlNodes::text(typeNode);
    const xmlNode *sellerRegistry = descendant(header, {"CedentePrestatore", "DatiAnagrafici"});
    const Party seller(sellerRegistry);
    const Party buyer(descendant(header, {"CessionarioCommittente", "DatiAnagrafici"}));
    if (oneOf(type, {"TD01", "TD02", "TD03", "TD06", "TD16", "TD17", "TD18", "TD19", "TD20", "TD24", "TD25", "TD28"})
        && seller.sameAs(buyer))
        report.refuse("00471", typeNode,
                      QStringLiteral("TipoDocumento %1 con cedente/prestatore e cessionario/committente uguali").arg(type));
    if (oneOf(type, {"TD21", "TD27"}) && !seller.sameAs(buyer))
        report.refuse("00472", typeNode,
                      QStringLiteral("TipoDocumento %1 (autofattura) con cedente/prestatore diverso dal cessionario/committente")
                          .arg(type));
    const xmlNode *countryNode = descendant(sellerRegistry, {"IdFiscaleIVA", "IdPaese"});
    const QString country = XmlNodes::text(countryNode);
    if (oneOf(type, {"TD17", "TD18", "TD19"}) && country == QLatin1String("IT"))
        report.refuse("00473", countryNode,
                      QStringLiteral("TipoDocumento %1 (integrazione o autofattura per acquisti dall'estero) con cedente/prestatore "
                                     "italiano (IdPaese IT)")
                          .arg(type));
    if (type == QLatin1String("TD28") && countryNode && country != QLatin1String("SM"))
        report.refuse("00473", countryNode,
                      QStringLiteral("TipoDocumento TD28 (acquisti da San Marino) con IdPaese del cedente/prestatore %1: "
                                     "serve SM")
                          .arg(country));
}

void checkTaxCodes(const xmlNode *header, Report &report)
{
    const xmlNode *transmitter = descendant(header, {"DatiTrasmissione", "IdTrasmittente"});
    if (childText(transmitter, "IdPaese") == QLatin1String("IT")) {
        const xmlNode *codeNode = child(transmitter, "IdCodice");
        const QString value = XmlNodes::text(codeNode);
        const QString fault = value.isEmpty() ? QString() : TaxCodes::fiscalCodeFault(value);
        if (!fault.isEmpty())
            report.warn(Formal, codeNode, QStringLiteral("trasmittente: %1").arg(fault));
    }
    const xmlNode *seller = descendant(header, {"CedentePrestatore", "DatiAnagrafici"});
    checkVatIdentifier(child(seller, "IdFiscaleIVA"), "00301", QStringLiteral("cedente/prestatore"), report);
    checkFiscalCode(seller, Formal, QStringLiteral("cedente/prestatore"), report);
    const xmlNode *representative = descendant(header, {"RappresentanteFiscale", "DatiAnagrafici"});
    checkVatIdentifier(child(representative, "IdFiscaleIVA"), Formal, QStringLiteral("rappresentante fiscale"), report);
    checkFiscalCode(representative, Formal, QStringLiteral("rappresentante fiscale"), report);
    const xmlNode *buyer = descendant(header, {"CessionarioCommittente", "DatiAnagrafici"});
    checkVatIdentifier(child(buyer, "IdFiscaleIVA"), "00305", QStringLiteral("cessionario/committente"), report);
    checkFiscalCode(buyer, "00306", QStringLiteral("cessionario/committente"), report);
    const xmlNode *buyerRepresentative = descendant(header, {"CessionarioCommittente", "RappresentanteFiscale"});
    checkVatIdentifier(child(buyerRepresentative, "IdFiscaleIVA"), Formal,
                       QStringLiteral("rappresentante fiscale del cessionario/committente"), report);
    const xmlNode *intermediary = descendant(header, {"TerzoIntermediarioOSoggettoEmittente", "DatiAnagrafici"});
    checkVatIdentifier(child(intermediary, "IdFiscaleIVA"), Formal, QStringLiteral("terzo intermediario"), report);
    checkFiscalCode(intermediary, Formal, QStringLiteral("terzo intermediario"), report);
}

} // namespace Checks
