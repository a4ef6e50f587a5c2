// DatiBeniServizi: the invoice lines and the VAT summary, read as stored.
#include "body_blocks.h"

#include "codifica_xml.h"
#include "db_quiet_walk.h"
#include "db_table.h"
#include "free_goods_summary.h"
#include "xml_forms.h"

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
    auto col = [&](const char *name) { return line.text(QLatin1String(name)); };

    out.write(QStringLiteral("<DettaglioLinee>"));
    out.write(element(QStringLiteral("NumeroLinea"), QString::number(number)));
    // A discounted or marked-up line is marked "SC", whatever its own cession type.
    const QString discountType = col("sc_tipo");
    if (!discountType.isEmpty())
        out.write(QStringLiteral("<TipoCessionePrestazione>SC</TipoCessionePrestazione>"));
    if (!col("codice_tipo").isEmpty()) {
        out.write(QStringLiteral("<CodiceArticolo>"));
        out.write(element(QStringLiteral("CodiceTipo"), text(col("codice_tipo"))));
        out.write(element(QStringLiteral("CodiceValore"), text(col("codice_val"))));
        out.write(QStringLiteral("</CodiceArticolo>"));
    }
    out.write(element(QStringLiteral("Descrizione"), CodificaXml(col("descrizione"))));
    const QString quantity = XmlForms::amount(col("quantita"));
    if (XmlForms::isPositive(quantity))
        out.write(element(QStringLiteral("Quantita"), quantity));
    if (!col("um").isEmpty())
        out.write(element(QStringLiteral("UnitaMisura"), text(col("um"))));
    out.write(element(QStringLiteral("PrezzoUnitario"), XmlForms::price(col("prezzo_unit"))));
    if (!discountType.isEmpty())
        writeLineDiscount(out, discountType, col("sc_perc"), col("sc_importo"));
    out.write(element(QStringLiteral("PrezzoTotale"), XmlForms::price(col("prezzo_tot"))));
    out.write(element(QStringLiteral("AliquotaIVA"), XmlForms::amount(col("aliquota"))));
    const struct {
        const char *column;
        const char *tag;
    } optional[] = {{"ritenuta", "Ritenuta"}, {"natura", "Natura"}, {"rif_amm", "RiferimentoAmministrazione"}};
    for (const auto &o : optional)
        if (!col(o.column).isEmpty())
            out.write(element(QLatin1String(o.tag), text(col(o.column))));
    writeOtherData(out, QStringLiteral("Categoria"), col("categoria"));
    writeOtherData(out, QStringLiteral("Lotto"), col("lotto"));
    writeOtherData(out, QStringLiteral("Origine"), col("origine"));
    out.write(QStringLiteral("</DettaglioLinee>"));
}

struct Bucket {
    int number = 1;
    QString column(const char *name) const
    {
        return number == 1 ? QLatin1String(name) : QLatin1String(name) + QString::number(number);
    }
};

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
        const Bucket bucket{n};
        auto col = [&](const char *name) { return invoice.text(bucket.column(name)); };
        // Bucket 1 always; the others when a line fell into them.
        const bool written = n == 1 || !col("imponibile").isEmpty();
        // Expenses and rounding of buckets 1 to 3 are read whether written or not.
        QString expenses, rounding;
        if (n <= 3) {
            expenses = XmlForms::amount(col("spese"));
            rounding = XmlForms::amount(col("arrot"));
        }
        if (!written)
            continue;
        const QString rate = XmlForms::amount(col("aliquota"));
        const QString taxable = XmlForms::amount(col("imponibile"));
        const QString nature = col("natura");
        // Buckets 1 to 3 may hold free goods, which the file's summary counts in.
        const SummaryFigures figures = summaryFigures(rate, taxable, XmlForms::amount(col("imposta")),
                                                      n <= 3 ? col("tot_omaggio") : QString());

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
            const QString due = format == XmlFormat::FPA12 ? QStringLiteral("S") : XmlForms::text(col("esig_iva"));
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
