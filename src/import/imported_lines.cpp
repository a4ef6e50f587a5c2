#include "imported_lines.h"

#include "db_quiet_walk.h"
#include "diz.h"
#include "import_formats.h"
#include "imported_amounts.h"
#include "imported_line_price.h"
#include "source_values.h"
#include "text_forms.h"

namespace {

// One goods line from the source line on which `line` stands.
void appendGoodsLine(DbTable &detta, const DbTable &line, int idInvio, int prog, const QString &nature)
{
    // Lines sold by the carton count cartons, the others their quantity.
    const float q = line.text(QStringLiteral("um")) == QLatin1String("CL")
        ? float(sourceNumber(line, QStringLiteral("colli")))
        : float(sourceNumber(line, QStringLiteral("quantita")));

    detta.append();
    detta.setValue(QStringLiteral("id_invio"), idInvio);
    detta.setValue(QStringLiteral("prog"), prog);
    detta.setValue(QStringLiteral("codice_val"), line.value(QStringLiteral("cod_art")));  // missing stays missing
    detta.setValue(QStringLiteral("descrizione"), line.value(QStringLiteral("descrizione")));
    ImportedAmounts::put(detta, QStringLiteral("quantita"), q, TextForms::Mask2);
    detta.setText(QStringLiteral("um"), line.text(QStringLiteral("um")));
    // Prices and discount as a typed line stores them.
    ImportedLineSource source;
    source.quantita = ImportFormats::masked(q, TextForms::Mask2);
    source.grossPrice = sourceNumber(line, QStringLiteral("pr_lordo"));
    source.discounts[0] = sourceNumber(line, QStringLiteral("sc_1"));
    source.discounts[1] = sourceNumber(line, QStringLiteral("sc_2"));
    source.discounts[2] = sourceNumber(line, QStringLiteral("sc_3"));
    source.netPrice = sourceNumber(line, QStringLiteral("Netto"));
    source.netAmount = sourceNumber(line, QStringLiteral("Imp_Netto"));
    const ImportedLinePrice price = importedLinePrice(source);
    ImportedAmounts::putText(detta, QStringLiteral("prezzo_unit"), price.prezzoUnit);
    if (!price.scTipo.isEmpty()) {
        ImportedAmounts::putText(detta, QStringLiteral("sc_perc"), price.scPerc);
        detta.setText(QStringLiteral("sc_tipo"), price.scTipo);
        ImportedAmounts::putText(detta, QStringLiteral("sc_importo"), price.scImporto);
    }
    ImportedAmounts::putText(detta, QStringLiteral("prezzo_tot"), price.prezzoTot);
    ImportedAmounts::putRate(detta, QStringLiteral("aliquota"),
                             ImportFormats::wholeRateText(sourceNumber(line, QStringLiteral("aliquota"))));
    if (!nature.isEmpty())
        detta.setText(QStringLiteral("natura"), nature);
    detta.setText(QStringLiteral("categoria"), line.text(QStringLiteral("categoria")));
    detta.setText(QStringLiteral("lotto"), line.text(QStringLiteral("lotto")));
    detta.setText(QStringLiteral("origine"), line.text(QStringLiteral("origine")));
    detta.post();
}

// The row that names a delivery note billed by a deferred invoice; its quantity of 0
// keeps it out of the totals.
void appendReferenceRow(DbTable &detta, const DbTable &note, int idInvio, int prog, const QString &rate)
{
    const QString description = QStringLiteral("Rif. Bolla ") + note.text(QStringLiteral("reg_doc"))
        + QStringLiteral(" n. ") + note.text(QStringLiteral("num_doc")) + QStringLiteral(" del ")
        + note.text(QStringLiteral("data")) + QLatin1Char(' ') + note.text(QStringLiteral("dest_soc")).left(35)
        + QLatin1Char(' ') + note.text(QStringLiteral("dest_indirizzo")).left(30);
    detta.append();
    detta.setValue(QStringLiteral("id_invio"), idInvio);
    detta.setValue(QStringLiteral("prog"), prog);
    detta.setText(QStringLiteral("codice_val"), QString());
    detta.setText(QStringLiteral("descrizione"), description);  // cut to the column
    detta.setText(QStringLiteral("quantita"), QStringLiteral("0,00"));
    detta.setText(QStringLiteral("um"), QString());
    detta.setText(QStringLiteral("prezzo_unit"), QStringLiteral("0,00"));
    detta.setText(QStringLiteral("prezzo_tot"), QStringLiteral("0,00"));
    ImportedAmounts::putRate(detta, QStringLiteral("aliquota"), rate);
    detta.setText(QStringLiteral("categoria"), QString());
    detta.setText(QStringLiteral("lotto"), QString());
    detta.setText(QStringLiteral("origine"), QString());
    detta.post();
}

// Makes Dett_Fatt show the lines of the current row of `master`.
void followMaster(TDiz &diz, DbTable &master)
{
    if (diz.Dett_Fatt.master() != &master) {
        diz.setDett_FattMaster(master);  // re-reads the lines of an open Dett_Fatt
    }
    diz.Dett_Fatt.open();
}

} // namespace

QString deliveryNotesSql(const QString &database, int protocollo)
{
    return QStringLiteral("SELECT * from ") + database + QStringLiteral(".testata where anno>=2025 and prot_f_diff=")
        + QString::number(protocollo);
}

void importLines(TDiz &diz, const ImportedDocument &doc, int idInvio)
{
    DbTable &lines = diz.Dett_Fatt;
    int prog = 1;
    if (doc.reg == QLatin1String("FD")) {
        // A deferred invoice bills the delivery notes that point to it.
        followMaster(diz, diz.BolleT);
        diz.BolleT.close();
        diz.BolleT.setSql(deliveryNotesSql(diz.Dati.database(), doc.protocollo));
        diz.BolleT.open();
        const QString rateA = ImportFormats::rateText(doc.vatSlots[0].rate);
        DbQuietWalk walk(diz.BolleT);
        for (diz.BolleT.first(); !diz.BolleT.eof(); diz.BolleT.next()) {
            appendReferenceRow(diz.Detta, diz.BolleT, idInvio, prog++, rateA);
            for (lines.first(); !lines.eof(); lines.next())
                appendGoodsLine(diz.Detta, lines, idInvio, prog++, doc.nature);
        }
    } else {
        followMaster(diz, diz.Test_Fatt);
        DbQuietWalk walk(lines);
        for (lines.first(); !lines.eof(); lines.next())
            appendGoodsLine(diz.Detta, lines, idInvio, prog++, doc.nature);
    }
}
