// DatiGenerali: the general document data and the linked documents.
#include "data/app_error.h"
#include "fatturapa/body_blocks.h"

#include "fatturapa/codifica_xml.h"
#include "data/columns.h"
#include "data/db_quiet_walk.h"
#include "data/diz.h"
#include "data/text_forms.h"
#include "fatturapa/xml_forms.h"

namespace {

void writeDiscount(XmlLines &out, const DbTable &invoice)
{
    // Only a percentage above zero; the header discount has no amount element.
    const QString percent = invoice.text(col::testata::sc_perc);
    if (percent.isEmpty() || !(TextForms::readLocale(percent) > Decimal(0)))
        return;
    out.write(QStringLiteral("<ScontoMaggiorazione>"));
    out.write(element(QStringLiteral("Tipo"), XmlForms::text(invoice.text(col::testata::sc_tipo))));
    out.write(element(QStringLiteral("Percentuale"), XmlForms::percentage(percent)));
    out.write(QStringLiteral("</ScontoMaggiorazione>"));
}

void writeDocumentData(XmlLines &out, const DbTable &invoice, const FatturaHeader::Document &doc, XmlFormat format)
{
    out.write(QStringLiteral("<DatiGeneraliDocumento>"));
    out.write(element(QStringLiteral("TipoDocumento"), XmlForms::text(doc.tipoDoc)));
    out.write(QStringLiteral("<Divisa>EUR</Divisa>"));
    out.write(element(QStringLiteral("Data"), doc.data));
    out.write(element(QStringLiteral("Numero"), XmlForms::text(doc.numDoc)));
    writeDiscount(out, invoice);
    out.write(element(QStringLiteral("ImportoTotaleDocumento"), doc.total));
    if (format == XmlFormat::FPR12)
        out.write(element(QStringLiteral("Causale"), CodificaXml(doc.reason)));
    out.write(QStringLiteral("</DatiGeneraliDocumento>"));
}

void writeLinkedDocument(XmlLines &out, const DbTable &row)
{
    using XmlForms::text;
    out.write(element(QStringLiteral("RiferimentoNumeroLinea"),
                      QString::number(row.asInteger(col::dati_acquisto::n_linea))));
    out.write(element(QStringLiteral("IdDocumento"), text(row.text(col::dati_acquisto::id_documento))));
    out.write(element(QStringLiteral("Data"), XmlForms::date(row.text(col::dati_acquisto::data))));
    const struct {
        const char *column;
        const char *tag;
    } optional[] = {{col::dati_acquisto::numero, "NumItem"},
                    {col::dati_acquisto::cod_comm, "CodiceCommessaConvenzione"},
                    {col::dati_acquisto::cup, "CodiceCUP"},
                    {col::dati_acquisto::cig, "CodiceCIG"}};
    for (const auto &o : optional) {
        const QString value = row.text(o.column);
        if (!value.isEmpty())
            out.write(element(QLatin1String(o.tag), text(value)));
    }
}

// Linked documents. The schema allows one document per element, and the kinds in a fixed
// order, so each row of a group becomes one element named by the group's kind, the groups
// are written kind by kind in the schema's order, and a group without rows writes nothing.
// A kind outside the schema's list would make the file unreadable: it stops the writer.
void writeLinkedDocuments(XmlLines &out, DbTable &groups, DbTable &rows)
{
    static const QStringList kinds{QStringLiteral("DatiOrdineAcquisto"), QStringLiteral("DatiContratto"),
                                   QStringLiteral("DatiConvenzione"), QStringLiteral("DatiRicezione"),
                                   QStringLiteral("DatiFattureCollegate")};
    // The screens keep showing the group that was current (its rows follow it again).
    DbQuietWalk walk(groups);
    for (groups.first(); !groups.eof(); groups.next()) {
        const QString kind = groups.text(col::test_dati::tipo);
        if (!kinds.contains(kind))
            throw AppError(QStringLiteral("Tipo di documento collegato non valido: '%1'").arg(kind));
    }
    for (const QString &kind : kinds) {
        for (int g = 0; g < groups.rowCount(); ++g) {
            groups.moveTo(g);
            if (groups.text(col::test_dati::tipo) != kind)
                continue;
            for (rows.first(); !rows.eof(); rows.next()) {
                out.write(QLatin1Char('<') + kind + QLatin1Char('>'));
                writeLinkedDocument(out, rows);
                out.write(QStringLiteral("</") + kind + QLatin1Char('>'));
            }
        }
    }
}

} // namespace

void writeDatiGenerali(XmlLines &out, TDiz &diz, const FatturaHeader &header, XmlFormat format)
{
    out.write(QStringLiteral("<DatiGenerali>"));
    writeDocumentData(out, diz.Testata, header.document, format);
    writeLinkedDocuments(out, diz.ContrattoT, diz.ContrattoD);
    out.write(QStringLiteral("</DatiGenerali>"));
}
