// DatiPagamento: the bank-transfer payment details.
#include "fatturapa/body_blocks.h"

#include "fatturapa/codifica_xml.h"
#include "data/columns.h"
#include "data/db_table.h"
#include "fatturapa/xml_forms.h"

namespace {

void writeDetail(XmlLines &out, const FatturaHeader &header, const QString &method, const QString &amount,
                 const QString &iban)
{
    out.write(QStringLiteral("<DettaglioPagamento>"));
    out.write(element(QStringLiteral("Beneficiario"), CodificaXml(header.company.ragSoc)));
    out.write(element(QStringLiteral("ModalitaPagamento"), method));
    out.write(element(QStringLiteral("ImportoPagamento"), amount));
    out.write(element(QStringLiteral("IBAN"), XmlForms::text(iban)));
    out.write(QStringLiteral("</DettaglioPagamento>"));
}

} // namespace

void writeDatiPagamento(XmlLines &out, const DbTable &invoice, const DbTable &company, const FatturaHeader &header)
{
    const QString method = invoice.text(col::testata::mod_pag);
    if (method != QLatin1String("MP05"))
        return;
    out.write(QStringLiteral("<DatiPagamento>"));
    out.write(QStringLiteral("<CondizioniPagamento>TP02</CondizioniPagamento>"));
    // A header whose number of instalments was never filled in (new and imported headers
    // leave it empty), or holds a negative number, is paid in one go, as with 0.
    const int instalments = invoice.isNull(col::testata::n_rate) ? 0 : invoice.asInteger(col::testata::n_rate);
    if (instalments <= 0) {
        writeDetail(out, header, method, header.document.total, company.text(col::azienda::iban));
    } else {
        // Every instalment is the written total divided evenly, rounded to the cent
        // (halves away from zero); no instalment takes up the remainder.
        const Decimal each = XmlForms::valueOf(header.document.total).divided(Decimal::fromInt(instalments), 2);
        const QString amount = XmlForms::instalmentAmount(each);
        for (int i = 0; i < instalments; ++i)
            writeDetail(out, header, method, amount, company.text(col::azienda::iban));
    }
    out.write(QStringLiteral("</DatiPagamento>"));
}

void writeDatiPagamentoPA(XmlLines &out, const DbTable &company, const FatturaHeader &header, const Decimal &taxableTotal)
{
    out.write(QStringLiteral("<DatiPagamento>"));
    out.write(QStringLiteral("<CondizioniPagamento>TP02</CondizioniPagamento>"));
    writeDetail(out, header, QStringLiteral("MP05"), XmlForms::amountOf(taxableTotal), company.text(col::azienda::iban));
    out.write(QStringLiteral("</DatiPagamento>"));
}
