// The files the two XML writers write, rendered as the revenue agency renders them: the
// page shows the seller, the buyer, the number, the date, every line and the total, with
// the writers' character references turned back into the characters stored.
#include "../fatturapa/xml_writer_fixture.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "rendering/fattura_html.h"
#include "rendering_fixture.h"

namespace {

class WrittenFiles : public XmlWriterTest {};

TEST_F(WrittenFiles, EachWritersFileShowsSellerBuyerNumberDateLinesAndTotal)
{
    using Writer = void (*)(TDiz &, const QString &);
    const struct {
        const char *name;
        Writer writer;
        const char *format, *recipientCaption;
    } writers[] = {
        {"CreaFileXml", CreaFileXml, "FPR12", "Codice identificativo destinatario: ABC1234"},
        {"CreaFileXmlPA", CreaFileXmlPA, "FPA12", "Codice Amministrazione destinataria: UFABCD"},
    };
    for (const auto &w : writers) {
        SCOPED_TRACE(w.name);
        clearTables({"testata", "dettaglio"});
        const int id = addInvoice({{"num_doc", "41/B"}, {"data_doc", "07/04/2026"}, {"tot_doc", "152,50"},
                                   {"imponibile", "125,00"}, {"imposta", "27,50"},
                                   {"cod_dest", QString::fromLatin1(w.format) == "FPA12" ? "UFABCD" : "ABC1234"}});
        addLine(id, {{"descrizione", "Consulenza R&D - 10° piano"}, {"prezzo_unit", "100,000"}, {"prezzo_tot", "100,000"}});
        addLine(id, {{"descrizione", "Trasferta \"Milano\" + rimborso"}, {"prezzo_unit", "25,000"}, {"prezzo_tot", "25,000"}});
        select(id);
        w.writer(*diz, QStringLiteral("A"));

        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(writtenPath(id));
        ASSERT_TRUE(out.ok) << out.error.toStdString();
        EXPECT_EQ(out.format, QLatin1String(w.format));
        const QString text = RenderTest::shownText(out.html);
        QStringList phrases{QLatin1String(w.recipientCaption),
                            "Dati del cedente / prestatore", "Denominazione: Alfa & Beta S.r.l.",
                            "Dati del cessionario / committente", "Denominazione: Rossi Forniture S.p.A.",
                            "Data documento: 2026-04-07", "Numero documento: 41/B ", "Importo totale documento: 152.50",
                            "Descrizione bene/servizio: Consulenza R&D - 10° piano",
                            "Descrizione bene/servizio: Trasferta \"Milano\" + rimborso"};
        qsizetype from = 0;
        for (const QString &phrase : phrases) {
            const qsizetype at = text.indexOf(phrase, from);
            ASSERT_GE(at, 0) << "not found (in this order): " << phrase.toStdString() << "\n" << text.toStdString();
            from = at + phrase.size();
        }
    }
}

} // namespace
