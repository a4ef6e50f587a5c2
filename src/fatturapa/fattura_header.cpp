#include "fatturapa/fattura_header.h"

#include "data/app_error.h"
#include "fatturapa/codifica_xml.h"
#include "data/columns.h"
#include "data/diz.h"
#include "fatturapa/file_naming.h"
#include "fatturapa/foreign_postcode.h"
#include "fatturapa/resend_naming.h"
#include "fatturapa/xml_forms.h"

namespace {

const QLatin1String SignatureNamespace("http://www.w3.org/2000/09/xmldsig#");
const QLatin1String SchemaInstanceNamespace("http://www.w3.org/2001/XMLSchema-instance");
const QLatin1String FatturaNamespace("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2");
const QString NoRecipientCode = QStringLiteral("0000000");

bool filled(const QString &stored)
{
    return !XmlForms::trimmed(stored).isEmpty();
}

QString reasonText(const DbTable &invoice)
{
    return QStringLiteral("Consegna Sede: ") + XmlForms::trimmed(invoice.text(col::testata::dest_soc))
        + QLatin1Char(' ') + XmlForms::trimmed(invoice.text(col::testata::dest_indir))
        + QLatin1Char(' ') + XmlForms::trimmed(invoice.text(col::testata::dest_comune));
}

void writeDeclarationAndRoot(XmlLines &out, XmlFormat format)
{
    if (format == XmlFormat::FPR12) {
        out.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"));
        out.write(QStringLiteral("<p:FatturaElettronica xmlns:ds=\"%1\" xmlns:xsi=\"%2\" versione=\"FPR12\" xmlns:p=\"%3\">")
                      .arg(SignatureNamespace, SchemaInstanceNamespace, FatturaNamespace));
    } else {
        out.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
        out.write(QStringLiteral("<ns3:FatturaElettronica versione=\"FPA12\" xmlns:ns2=\"%1\" xmlns:ns3=\"%2\">")
                      .arg(SignatureNamespace, FatturaNamespace));
    }
}

void writeTransmission(XmlLines &out, const FatturaHeader &h, XmlFormat format)
{
    using XmlForms::text;
    out.write(QStringLiteral("<DatiTrasmissione>"));
    out.write(QStringLiteral("<IdTrasmittente>"));
    out.write(QStringLiteral("<IdPaese>IT</IdPaese>"));
    out.write(element(QStringLiteral("IdCodice"), text(h.company.codFis)));
    out.write(QStringLiteral("</IdTrasmittente>"));
    out.write(element(QStringLiteral("ProgressivoInvio"), h.progressive));
    out.write(format == XmlFormat::FPR12 ? QStringLiteral("<FormatoTrasmissione>FPR12</FormatoTrasmissione>")
                                         : QStringLiteral("<FormatoTrasmissione>FPA12</FormatoTrasmissione>"));
    // A public administration's recipient code is written as stored. A private buyer
    // without one gets "0000000", the code of a buyer reached by certified e-mail
    // (PECDestinatario below) or through the exchange system's own reserved area; a
    // code or a PEC of blanks only counts as none.
    if (format == XmlFormat::FPA12)
        out.write(element(QStringLiteral("CodiceDestinatario"), text(h.buyer.codDest)));
    else
        out.write(element(QStringLiteral("CodiceDestinatario"),
                          filled(h.buyer.codDest) ? text(h.buyer.codDest) : NoRecipientCode));
    out.write(QStringLiteral("<ContattiTrasmittente>"));
    out.write(element(QStringLiteral("Telefono"), text(h.company.telefono)));
    out.write(element(QStringLiteral("Email"), text(h.company.mail)));
    out.write(QStringLiteral("</ContattiTrasmittente>"));
    if (filled(h.buyer.pec))
        out.write(element(QStringLiteral("PECDestinatario"), text(h.buyer.pec)));
    out.write(QStringLiteral("</DatiTrasmissione>"));
}

// The seat of the seller or the buyer: both carry the same address columns.
template <typename Party>
void writeSede(XmlLines &out, const Party &p)
{
    using XmlForms::text;
    out.write(QStringLiteral("<Sede>"));
    out.write(element(QStringLiteral("Indirizzo"), CodificaXml(p.indirizzo)));
    out.write(element(QStringLiteral("CAP"), text(p.cap)));
    out.write(element(QStringLiteral("Comune"), CodificaXml(p.comune)));
    if (!p.prov.isEmpty())
        out.write(element(QStringLiteral("Provincia"), text(p.prov)));
    out.write(element(QStringLiteral("Nazione"), text(p.nazione)));
    out.write(QStringLiteral("</Sede>"));
}

void writeSeller(XmlLines &out, const FatturaHeader::Company &c)
{
    using XmlForms::text;
    out.write(QStringLiteral("<CedentePrestatore>"));
    out.write(QStringLiteral("<DatiAnagrafici>"));
    out.write(QStringLiteral("<IdFiscaleIVA>"));
    out.write(QStringLiteral("<IdPaese>IT</IdPaese>"));
    out.write(element(QStringLiteral("IdCodice"), text(c.pIva)));
    out.write(QStringLiteral("</IdFiscaleIVA>"));
    if (!c.codFis.isEmpty())
        out.write(element(QStringLiteral("CodiceFiscale"), text(c.codFis)));
    out.write(QStringLiteral("<Anagrafica>"));
    out.write(element(QStringLiteral("Denominazione"), CodificaXml(c.ragSoc)));
    out.write(QStringLiteral("</Anagrafica>"));
    out.write(QStringLiteral("<RegimeFiscale>RF01</RegimeFiscale>"));
    out.write(QStringLiteral("</DatiAnagrafici>"));
    writeSede(out, c);
    out.write(QStringLiteral("<IscrizioneREA>"));
    out.write(element(QStringLiteral("Ufficio"), text(c.uffRea)));
    out.write(element(QStringLiteral("NumeroREA"), text(c.numRea)));
    out.write(element(QStringLiteral("CapitaleSociale"), c.capitSoc));
    out.write(element(QStringLiteral("SocioUnico"), text(c.socUni)));
    out.write(element(QStringLiteral("StatoLiquidazione"), text(c.statoLiq)));
    out.write(QStringLiteral("</IscrizioneREA>"));
    out.write(QStringLiteral("</CedentePrestatore>"));
}

void writeBuyer(XmlLines &out, const FatturaHeader::Buyer &b, XmlFormat format)
{
    using XmlForms::text;
    out.write(QStringLiteral("<CessionarioCommittente>"));
    out.write(QStringLiteral("<DatiAnagrafici>"));
    // The VAT number when the buyer has one; a public administration is named by fiscal
    // code, and by VAT number only when it has no fiscal code. readFatturaHeader has made
    // sure that one of the two is there.
    const bool vatNumber = format == XmlFormat::FPR12 ? filled(b.pIva) : filled(b.pIva) && !filled(b.codFis);
    if (vatNumber) {
        out.write(QStringLiteral("<IdFiscaleIVA>"));
        out.write(element(QStringLiteral("IdPaese"), text(b.nazione)));
        out.write(element(QStringLiteral("IdCodice"), text(b.pIva)));
        out.write(QStringLiteral("</IdFiscaleIVA>"));
    }
    if (filled(b.codFis))
        out.write(element(QStringLiteral("CodiceFiscale"), text(b.codFis)));
    out.write(QStringLiteral("<Anagrafica>"));
    out.write(element(QStringLiteral("Denominazione"), CodificaXml(b.ragSoc)));
    out.write(QStringLiteral("</Anagrafica>"));
    out.write(QStringLiteral("</DatiAnagrafici>"));
    writeSede(out, b);
    out.write(QStringLiteral("</CessionarioCommittente>"));
}

} // namespace

FatturaHeader readFatturaHeader(TDiz &diz, const QString &workspaceCaption, XmlFormat format)
{
    // The usual progressive, or a new one once the exchange system rejected the invoice.
    const QString progressive =
        sendingProgressive(diz.xml_conn, diz.Testata.asInteger(col::testata::id_invio), workspaceCaption);
    return readFatturaHeaderWith(diz, progressive, format);
}

FatturaHeader readFatturaHeaderWith(TDiz &diz, const QString &progressive, XmlFormat format)
{
    const DbTable &az = diz.AziendaT;
    const DbTable &inv = diz.Testata;
    namespace company = col::azienda;
    namespace invoice = col::testata;
    // The buyer's codes and contacts may be missing: a customer typed into the registry
    // stores the boxes left empty as NULL and the pick copies them as they are. Such a
    // column is read as text (NULL is empty text), and the rules for an empty code, PEC,
    // VAT number or fiscal code apply; the other columns are read as values (NULL raises).
    FatturaHeader h;
    h.progressive = progressive;

    // In the order the file uses them.
    h.company.codFis = az.asString(company::cod_fis);
    h.buyer.codDest = inv.text(invoice::cod_dest);
    h.company.telefono = az.asString(company::telefono);
    h.company.mail = az.asString(company::mail);
    h.buyer.pec = inv.text(invoice::pec);
    h.company.pIva = az.asString(company::p_iva);
    h.company.ragSoc = az.asString(company::rag_soc);
    h.company.indirizzo = az.asString(company::indirizzo);
    h.company.cap = az.asString(company::cap);
    h.company.comune = az.asString(company::comune);
    h.company.prov = az.asString(company::prov);
    h.company.nazione = az.asString(company::nazione);
    h.company.uffRea = az.asString(company::uff_rea);
    h.company.numRea = az.asString(company::num_rea);
    h.company.capitSoc = XmlForms::amount(az.asString(company::capit_soc));
    h.company.socUni = az.asString(company::soc_uni);
    h.company.statoLiq = az.asString(company::stato_liq);
    h.buyer.nazione = inv.asString(invoice::nazione);
    // Read in both formats, although a public administration's file does not show it.
    h.buyer.pIva = inv.text(invoice::p_iva);
    h.buyer.codFis = inv.text(invoice::cod_fis);
    h.buyer.ragSoc = inv.asString(invoice::rag_soc);
    // A buyer abroad gets the CAP the schema takes.
    const BuyerAddress address =
        writtenBuyerAddress({inv.asString(invoice::indirizzo), inv.asString(invoice::cap)}, h.buyer.nazione);
    h.buyer.indirizzo = address.indirizzo;
    h.buyer.cap = address.cap;
    h.buyer.comune = inv.asString(invoice::comune);
    h.buyer.prov = inv.asString(invoice::prov);
    // The exchange system refuses a buyer known by neither (its error 00417).
    if (!filled(h.buyer.pIva) && !filled(h.buyer.codFis))
        throw AppError(QStringLiteral("Il cliente \"%1\" non ha né partita IVA né codice fiscale (errore SDI 00417): "
                                      "file XML non creato.")
                           .arg(h.buyer.ragSoc));

    h.document.tipoDoc = inv.text(invoice::tipo_doc);
    h.document.data = XmlForms::date(inv.text(invoice::data_doc));
    h.document.numDoc = inv.text(invoice::num_doc);
    h.document.total = XmlForms::amount(inv.text(invoice::tot_doc));
    if (format == XmlFormat::FPR12)
        h.document.reason = reasonText(inv);
    return h;
}

void writeFatturaHeader(XmlLines &out, const FatturaHeader &header, XmlFormat format)
{
    writeDeclarationAndRoot(out, format);
    out.write(QStringLiteral("<FatturaElettronicaHeader>"));
    writeTransmission(out, header, format);
    writeSeller(out, header.company);
    writeBuyer(out, header.buyer, format);
    out.write(QStringLiteral("</FatturaElettronicaHeader>"));
}
