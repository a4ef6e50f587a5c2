// DatiBeniServizi: the invoice lines and the VAT summary, read as stored.
#include "fatturapa/body_blocks.h"

#include "fatturapa/codifica_xml.h"
#include "data/columns.h"
#include "data/db_quiet_walk.h"
#include "data/db_table.h"
#include "fatturapa/free_goods_summary.h"
#include "data/testata_buckets.h"
#include "fatturapa/xml_forms.h"

namespace {

// AltriDatiGestionali of one kind, when the value holds more than blanks.
void writeOtherData(XmlLines &out, const QString &kind, const QString &value)
{
    if (XmlForms::trimmed(value).isEmpty())
        return;
    out.write(QStringLiteral("<AltriDatiGestionali>"));
    out.write(element(QStringLiteral("TipoDato"), kind));
    out.write(element(QStringLiteral("RiferimentoTesto"), XmlForms::text(value)));
    out.write(QStringLiteral("</AltriDatiGestionali>"));
}

// The discount or surcharge of a line: the percentage with two decimals and the amount
// with two to eight, each only when its text reads as a number; with neither, nothing.
void writeLineDiscount(XmlLines &out, const QString &type, const QString &percent, const QString &amount)
{
    Decimal amountValue;
    const bool hasPercent = XmlForms::readsAsNumber(percent);
    const bool hasAmount = XmlForms::readsAsNumber(amount, &amountValue);
    if (!hasPercent && !hasAmount)
        return;
    out.write(QStringLiteral("<ScontoMaggiorazione>"));
    out.write(element(QStringLiteral("Tipo"), XmlForms::text(type)));
    if (hasPercent)
        out.write(element(QStringLiteral("Percentuale"), XmlForms::percentage(percent)));
    if (hasAmount)
        out.write(element(QStringLiteral("Importo"), XmlForms::discountAmountOf(amountValue)));
    out.write(QStringLiteral("</ScontoMaggiorazione>"));
}

void writeLine(XmlLines &out, const DbTable &line, int number)
{
    using XmlForms::text;
    namespace column = col::dettaglio;

    out.write(QStringLiteral("<DettaglioLinee>"));
    out.write(element(QStringLiteral("NumeroLinea"), QString::number(number)));
    // A discounted or marked-up line is marked "SC", whatever its own cession type.
    const QString discountType = line.text(column::sc_tipo);
    if (!discountType.isEmpty())
        out.write(QStringLiteral("<TipoCessionePrestazione>SC</TipoCessionePrestazione>"));
    if (!line.text(column::codice_tipo).isEmpty()) {
        out.write(QStringLiteral("<CodiceArticolo>"));
        out.write(element(QStringLiteral("CodiceTipo"), text(line.text(column::codice_tipo))));
        out.write(element(QStringLiteral("CodiceValore"), text(line.text(column::codice_val))));
        out.write(QStringLiteral("</CodiceArticolo>"));
    }
    out.write(element(QStringLiteral("Descrizione"), CodificaXml(line.text(column::descrizione))));
    const QString quantity = XmlForms::amount(line.text(column::quantita));
    if (XmlForms::isPositive(quantity))
        out.write(element(QStringLiteral("Quantita"), quantity));
    if (!line.text(column::um).isEmpty())
        out.write(element(QStringLiteral("UnitaMisura"), text(line.text(column::um))));
    out.write(element(QStringLiteral("PrezzoUnitario"), XmlForms::price(line.text(column::prezzo_unit))));
    if (!discountType.isEmpty())
        writeLineDiscount(out, discountType, line.text(column::sc_perc), line.text(column::sc_importo));
    out.write(element(QStringLiteral("PrezzoTotale"), XmlForms::price(line.text(column::prezzo_tot))));
    out.write(element(QStringLiteral("AliquotaIVA"), XmlForms::amount(line.text(column::aliquota))));
    const struct {
        const char *column;
        const char *tag;
    } optional[] = {{column::ritenuta, "Ritenuta"},
                    {column::natura, "Natura"},
                    {column::rif_amm, "RiferimentoAmministrazione"}};
    for (const auto &o : optional)
        if (!line.text(o.column).isEmpty())
            out.write(element(QLatin1String(o.tag), text(line.text(o.column))));
    writeOtherData(out, QStringLiteral("Categoria"), line.text(column::categoria));
    writeOtherData(out, QStringLiteral("Lotto"), line.text(column::lotto));
    writeOtherData(out, QStringLiteral("Origine"), line.text(column::origine));
    out.write(QStringLiteral("</DettaglioLinee>"));
}

} // namespace

void writeDettaglioLinee(XmlLines &out, DbTable &lines)
{
    out.write(QStringLiteral("<DatiBeniServizi>"));
    int number = 1;
    DbQuietWalk walk(lines);  // the screens keep showing the line that was current
    for (lines.first(); !lines.eof(); lines.next())
        writeLine(out, lines, number++);
}

Decimal writeDatiRiepilogo(XmlLines &out, const DbTable &invoice, XmlFormat format)
{
    Decimal taxableTotal;
    for (int n = 1; n <= 4; ++n) {
        const TestataBucketColumns &bucket = TestataBuckets[size_t(n - 1)];
        // Bucket 1 always; the others when a line fell into them.
        const bool written = n == 1 || !invoice.text(bucket.taxable).isEmpty();
        // Expenses and rounding of buckets 1 to 3 are read whether written or not.
        QString expenses, rounding;
        if (n <= 3) {
            expenses = XmlForms::amount(invoice.text(bucket.expenses));
            rounding = XmlForms::amount(invoice.text(bucket.rounding));
        }
        if (!written)
            continue;
        const QString rate = XmlForms::amount(invoice.text(bucket.rate));
        const QString taxable = XmlForms::amount(invoice.text(bucket.taxable));
        const QString nature = invoice.text(bucket.nature);
        // Buckets 1 to 3 may hold free goods, which the file's summary counts in.
        const SummaryFigures figures = summaryFigures(rate, taxable, XmlForms::amount(invoice.text(bucket.tax)),
                                                      n <= 3 ? invoice.text(bucket.freeGoods) : QString());

        out.write(QStringLiteral("<DatiRiepilogo>"));
        out.write(element(QStringLiteral("AliquotaIVA"), rate));
        if (!nature.isEmpty())
            out.write(element(QStringLiteral("Natura"), XmlForms::text(nature)));
        if (n <= 3 && XmlForms::isPositive(expenses))
            out.write(element(QStringLiteral("SpeseAccessorie"), expenses));
        if (n <= 3 && XmlForms::isPositive(rounding))
            out.write(element(QStringLiteral("Arrotondamento"), rounding));
        out.write(element(QStringLiteral("ImponibileImporto"), figures.taxable));
        out.write(element(QStringLiteral("Imposta"), figures.tax));
        // Without a nature the VAT is due as stored; a public administration pays it itself.
        // An empty VAT-due column (new headers leave the fourth one NULL) writes nothing:
        // the element is optional, and the exchange system then takes "I".
        if (XmlForms::trimmed(nature).isEmpty()) {
            const QString due =
                format == XmlFormat::FPA12 ? QStringLiteral("S") : XmlForms::text(invoice.text(bucket.chargeability));
            if (!XmlForms::trimmed(due).isEmpty())
                out.write(element(QStringLiteral("EsigibilitaIVA"), due));
        }
        out.write(QStringLiteral("</DatiRiepilogo>"));
        // What the buyer pays: the free goods are not part of it.
        taxableTotal += XmlForms::valueOf(taxable);
    }
    out.write(QStringLiteral("</DatiBeniServizi>"));
    return taxableTotal;
}
