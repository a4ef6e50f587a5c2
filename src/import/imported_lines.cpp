#include "import/imported_lines.h"

#include "data/columns.h"
#include "data/db_quiet_walk.h"
#include "data/diz.h"
#include "import/import_formats.h"
#include "import/imported_amounts.h"
#include "import/imported_line_price.h"
#include "import/source_values.h"
#include "data/text_forms.h"

namespace {

// One goods line from the source line on which `line` stands.
void appendGoodsLine(DbTable &detta, const DbTable &line, int idInvio, int prog, const QString &nature)
{
    // Lines sold by the carton count cartons, the others their quantity.
    const float q = line.text(col::norva26::dettag::um) == QLatin1String("CL")
        ? float(sourceNumber(line, col::norva26::dettag::colli))
        : float(sourceNumber(line, col::norva26::dettag::quantita));

    detta.append();
    detta.setValue(col::dettaglio::id_invio, idInvio);
    detta.setValue(col::dettaglio::prog, prog);
    detta.setValue(col::dettaglio::codice_val, line.value(col::norva26::dettag::cod_art));  // missing stays missing
    detta.setValue(col::dettaglio::descrizione, line.value(col::norva26::dettag::descrizione));
    ImportedAmounts::put(detta, col::dettaglio::quantita, q, TextForms::Mask2);
    detta.setText(col::dettaglio::um, line.text(col::norva26::dettag::um));
    // Prices and discount as a typed line stores them.
    ImportedLineSource source;
    source.quantita = ImportFormats::masked(q, TextForms::Mask2);
    source.grossPrice = sourceNumber(line, col::norva26::dettag::pr_lordo);
    source.discounts[0] = sourceNumber(line, col::norva26::dettag::sc_1);
    source.discounts[1] = sourceNumber(line, col::norva26::dettag::sc_2);
    source.discounts[2] = sourceNumber(line, col::norva26::dettag::sc_3);
    source.netPrice = sourceNumber(line, QStringLiteral("Netto"));
    source.netAmount = sourceNumber(line, QStringLiteral("Imp_Netto"));
    const ImportedLinePrice price = importedLinePrice(source);
    ImportedAmounts::putText(detta, col::dettaglio::prezzo_unit, price.prezzoUnit);
    if (!price.scTipo.isEmpty()) {
        ImportedAmounts::putText(detta, col::dettaglio::sc_perc, price.scPerc);
        detta.setText(col::dettaglio::sc_tipo, price.scTipo);
        ImportedAmounts::putText(detta, col::dettaglio::sc_importo, price.scImporto);
    }
    ImportedAmounts::putText(detta, col::dettaglio::prezzo_tot, price.prezzoTot);
    ImportedAmounts::putRate(detta, col::dettaglio::aliquota,
                             ImportFormats::wholeRateText(sourceNumber(line, col::norva26::dettag::aliquota)));
    if (!nature.isEmpty())
        detta.setText(col::dettaglio::natura, nature);
    detta.setText(col::dettaglio::categoria, line.text(col::norva26::dettag::categoria));
    detta.setText(col::dettaglio::lotto, line.text(col::norva26::dettag::lotto));
    detta.setText(col::dettaglio::origine, line.text(col::norva26::dettag::origine));
    detta.post();
}

// The row that names a delivery note billed by a deferred invoice; its quantity of 0
// keeps it out of the totals.
void appendReferenceRow(DbTable &detta, const DbTable &note, int idInvio, int prog, const QString &rate)
{
    const QString description = QStringLiteral("Rif. Bolla ") + note.text(col::norva26::testata::reg_doc)
        + QStringLiteral(" n. ") + note.text(col::norva26::testata::num_doc) + QStringLiteral(" del ")
        + note.text(col::norva26::testata::data) + QLatin1Char(' ')
        + note.text(col::norva26::testata::dest_soc).left(35)
        + QLatin1Char(' ') + note.text(col::norva26::testata::dest_indirizzo).left(30);
    detta.append();
    detta.setValue(col::dettaglio::id_invio, idInvio);
    detta.setValue(col::dettaglio::prog, prog);
    detta.setText(col::dettaglio::codice_val, QString());
    detta.setText(col::dettaglio::descrizione, description);  // cut to the column
    detta.setText(col::dettaglio::quantita, QStringLiteral("0,00"));
    detta.setText(col::dettaglio::um, QString());
    detta.setText(col::dettaglio::prezzo_unit, QStringLiteral("0,00"));
    detta.setText(col::dettaglio::prezzo_tot, QStringLiteral("0,00"));
    ImportedAmounts::putRate(detta, col::dettaglio::aliquota, rate);
    detta.setText(col::dettaglio::categoria, QString());
    detta.setText(col::dettaglio::lotto, QString());
    detta.setText(col::dettaglio::origine, QString());
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
