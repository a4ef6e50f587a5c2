// Loading received FatturaPA files into test_car and dett_car.
#include "received_fixture.h"
#include "receiving/received_invoice.h"

namespace {

class LoadReceived : public ReceivedFixture {
protected:
    LoadOutcome load(const QString &name) { return loadReceivedInvoice(db->sql(), folder.path(), name); }
    QString putSample(const QString &name) { return put(name, readAll(sampleFile(name))); }
};

// What the official samples must give: per body the number, date, total and line count.
struct SampleBody {
    const char *number, *date, *total;
    int lines;
};
struct SampleCase {
    const char *file;
    const char *supplier;
    std::vector<SampleBody> bodies;
};

const SampleCase sampleCases[] = {
    {"IT01234567890_FPR01.xml", "SOCIETA' ALPHA SRL", {{"123", "18/12/2014", "6,10", 1}}},
    {"IT01234567890_FPR03.xml", "SOCIETA' ALPHA SRL", {{"123", "18/12/2014", "32,95", 2}, {"456", "20/12/2014", "2440,00", 1}}},
    {"IT01234567890_FPA01.xml", "ALPHA SRL", {{"123", "18/01/2017", "6,10", 1}}},
    {"IT01234567890_FPA02.xml", "ALPHA SRL", {{"123", "18/01/2017", "30,50", 2}}},
    {"IT01234567890_FPA03.xml", "ALPHA SRL", {{"12", "18/01/2017", "30,50", 2}, {"456", "20/01/2017", "2440,00", 1}}},
};

TEST_F(LoadReceived, OfficialSamplesStoreSupplierNumberDateTotalAndLines)
{
    for (const SampleCase &c : sampleCases) {
        SCOPED_TRACE(c.file);
        SetUp();
        const QString name = putSample(QLatin1String(c.file));
        const LoadOutcome out = load(name);
        ASSERT_TRUE(out.loaded) << out.message.toStdString();
        ASSERT_EQ(out.invoices.size(), qsizetype(c.bodies.size()));

        const DbResult headers = db->sql().select(
            QStringLiteral("SELECT prot, rag_soc, p_iva, num_doc, data_doc, tot_doc, nome_file FROM test_car ORDER BY prot"));
        ASSERT_EQ(headers.rows.size(), c.bodies.size());
        for (size_t i = 0; i < c.bodies.size(); ++i) {
            const DbRow &h = headers.rows[i];
            const SampleBody &b = c.bodies[i];
            EXPECT_EQ(h.raw(1).toByteArray(), QByteArray(c.supplier));
            EXPECT_EQ(h.raw(2).toByteArray(), "01234567890");
            EXPECT_EQ(h.raw(3).toByteArray(), QByteArray(b.number));
            EXPECT_EQ(h.raw(4).toByteArray(), QByteArray(b.date));
            EXPECT_EQ(h.raw(5).toByteArray(), QByteArray(b.total));
            EXPECT_EQ(h.raw(6).toByteArray(), name.toUtf8());
            const int lines = db->sql()
                                  .select(QStringLiteral("SELECT COUNT(*) FROM dett_car WHERE prot_car = ?"), {h.raw(0).toInt()})
                                  .rows[0].raw(0).toInt();
            EXPECT_EQ(lines, b.lines);
        }
    }
}

TEST_F(LoadReceived, SampleLineAndSummaryValuesAreAmountTextsWithTheDecimalComma)
{
    ASSERT_TRUE(load(putSample(QStringLiteral("IT01234567890_FPA03.xml"))).loaded);
    // Body 1: two lines at 22%; body 2: one line without quantity.
    EXPECT_EQ(lineColumn("prog"), (QStringList{"1", "2", "1"}));
    EXPECT_EQ(lineColumn("descrizione").at(1), QStringLiteral("FORNITURE VARIE PER UFFICIO"));
    EXPECT_EQ(lineColumn("descrizione").at(0).size(), 100);  // the 190-character text cut to its column
    EXPECT_EQ(lineColumn("quantita"), (QStringList{"5,00", "10,00", "<null>"}));
    EXPECT_EQ(lineColumn("prezzo_unit"), (QStringList{"1,00", "2,00", "2000,00"}));
    EXPECT_EQ(lineColumn("prezzo_tot"), (QStringList{"5,00", "20,00", "2000,00"}));
    EXPECT_EQ(lineColumn("aliquota"), (QStringList{"22,00", "22,00", "22,00"}));  // as stored rows hold rates
    EXPECT_EQ(headerColumn("aliquota"), (QStringList{"22,00", "22,00"}));
    EXPECT_EQ(headerColumn("imponibile"), (QStringList{"25,00", "2000,00"}));
    EXPECT_EQ(headerColumn("imposta"), (QStringList{"5,50", "440,00"}));
    EXPECT_EQ(headerColumn("esig_iva"), (QStringList{"I", "I"}));
    EXPECT_EQ(headerColumn("aliquota2"), (QStringList{"<null>", "<null>"}));
    EXPECT_EQ(headerColumn("tipo_doc"), (QStringList{"TD01", "TD01"}));
    EXPECT_EQ(headerColumn("tipo_pag"), (QStringList{"TP01", "TP01"}));
    EXPECT_EQ(headerColumn("mod_pag"), (QStringList{"MP01", "MP19"}));
    EXPECT_EQ(headerColumn("n_rate"), (QStringList{"1", "1"}));
    EXPECT_EQ(headerColumn("scad1"), (QStringList{"18/02/2017", "20/02/2017"}));
    EXPECT_EQ(headerColumn("imp_scad1"), (QStringList{"30,50", "2440,00"}));
    EXPECT_EQ(headerColumn("cod_destinatario"), (QStringList{"AAAAAA", "AAAAAA"}));
    EXPECT_EQ(headerColumn("indirizzo"), (QStringList{"VIALE ROMA 543", "VIALE ROMA 543"}));
    EXPECT_EQ(headerColumn("cap"), (QStringList{"07100", "07100"}));
    // Every line belongs to the header of its own body.
    const QStringList prots = headerColumn("prot");
    EXPECT_EQ(lineColumn("prot_car"), (QStringList{prots[0], prots[0], prots[1]}));
}

TEST_F(LoadReceived, TwoRatesDiscountsCodesAndMoreThanFourInstalments)
{
    const QString name = put(QStringLiteral("IT02345678901_A0042.xml"), readAll(demoFile(QStringLiteral("IT02345678901_A0042.xml"))));
    const LoadOutcome out = load(name);
    ASSERT_TRUE(out.loaded) << out.message.toStdString();
    EXPECT_EQ(out.invoices, QStringList{QStringLiteral("FORNITURE GAMMA SRL, n. 2026/0042 del 05/03/2026, totale 180,00")});

    const QStringList header = dump(QStringLiteral(
        "SELECT rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, pec, num_doc, data_doc, tot_doc, "
        "aliquota, imponibile, imposta, esig_iva, natura, aliquota2, imponibile2, imposta2, spese, arrot, "
        "sc_tipo, sc_perc, sc_importo, n_rate, scad1, imp_scad1, scad4, imp_scad4 FROM test_car"));
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0],
              QStringLiteral("rag_soc=FORNITURE GAMMA SRL|indirizzo=VIA DEI MILLE 12|comune=MILANO|cap=20121|prov=MI|nazione=IT|"
                             "p_iva=02345678901|cod_fis=02345678901|pec=norva@pec.norva.it|num_doc=2026/0042|"
                             "data_doc=05/03/2026|tot_doc=180,00|aliquota=22,00|imponibile=119,25|imposta=26,24|esig_iva=I|natura=|"
                             "aliquota2=4,00|imponibile2=30,00|imposta2=1,20|spese=0,00|arrot=0,00|sc_tipo=SC|sc_perc=<null>|"
                             "sc_importo=1,69|n_rate=5|scad1=30/04/2026|imp_scad1=36,00|scad4=31/07/2026|imp_scad4=36,00"));

    const QStringList lines = dump(QStringLiteral(
        "SELECT prog, codice_tipo, codice_val, quantita, um, prezzo_unit, sc_tipo, sc_perc, prezzo_tot, aliquota, natura "
        "FROM dett_car ORDER BY prog"));
    EXPECT_EQ(lines, (QStringList{
                         "prog=1|codice_tipo=INTERNO|codice_val=ART-001|quantita=10,00|um=RS|prezzo_unit=3,25|sc_tipo=SC|"
                         "sc_perc=10|prezzo_tot=29,25|aliquota=22,00|natura=",
                         "prog=2|codice_tipo=INTERNO|codice_val=ART-017|quantita=2,00|um=PZ|prezzo_unit=45,00|sc_tipo=<null>|"
                         "sc_perc=<null>|prezzo_tot=90,00|aliquota=22,00|natura=",
                         "prog=3|codice_tipo=|codice_val=|quantita=1,00|um=PZ|prezzo_unit=30,00|sc_tipo=<null>|"
                         "sc_perc=<null>|prezzo_tot=30,00|aliquota=4,00|natura=",
                         "prog=4|codice_tipo=|codice_val=|quantita=<null>|um=|prezzo_unit=5,00|sc_tipo=<null>|"
                         "sc_perc=<null>|prezzo_tot=5,00|aliquota=0,00|natura=N1",
                     }));
}

TEST_F(LoadReceived, APriceWithMoreDecimalsKeepsThemAndAPersonSupplierGetsNameAndSurname)
{
    QByteArray xml = readAll(sampleFile(QStringLiteral("IT01234567890_FPR01.xml")));
    xml.replace("<PrezzoUnitario>1.00</PrezzoUnitario>", "<PrezzoUnitario>1.23456</PrezzoUnitario>");
    xml.replace("<Denominazione>SOCIETA' ALPHA SRL</Denominazione>", "<Nome>MARIO</Nome><Cognome>ROSSI</Cognome>");
    ASSERT_TRUE(load(put(QStringLiteral("person.xml"), xml)).loaded);
    EXPECT_EQ(lineColumn("prezzo_unit"), QStringList{QStringLiteral("1,23456")});
    EXPECT_EQ(headerColumn("rag_soc"), QStringList{QStringLiteral("MARIO ROSSI")});
}

TEST_F(LoadReceived, DeclaredEncodingsAndAByteOrderMarkAreRead)
{
    QByteArray latin1 = readAll(sampleFile(QStringLiteral("IT01234567890_FPR01.xml")));
    latin1.replace("encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\"");
    latin1.replace("SOCIETA' ALPHA SRL", "SOCIET\xC0 ALPHA SRL");  // A grave in Latin-1
    ASSERT_TRUE(load(put(QStringLiteral("latin1.xml"), latin1)).loaded);
    const QByteArray withMark = "\xEF\xBB\xBF" + readAll(sampleFile(QStringLiteral("IT01234567890_FPA01.xml")));
    ASSERT_TRUE(load(put(QStringLiteral("bom.xml"), withMark)).loaded);
    EXPECT_EQ(headerColumn("rag_soc"), (QStringList{QString::fromUtf8("SOCIET\u00C0 ALPHA SRL"), QStringLiteral("ALPHA SRL")}));
}

TEST_F(LoadReceived, RefusalsStoreNothing)
{
    const QByteArray sample = readAll(sampleFile(QStringLiteral("IT01234567890_FPR01.xml")));
    put(QStringLiteral("truncated.xml"), sample.left(sample.size() / 2));
    put(QStringLiteral("page.xml"), "<?xml version=\"1.0\"?><html><body>fattura</body></html>");
    put(QStringLiteral("wrongns.xml"), QByteArray(sample).replace("docs/xsd/fatture/v1.2", "docs/xsd/other"));
    put(QStringLiteral("badamount.xml"), QByteArray(sample).replace("<PrezzoTotale>5.00<", "<PrezzoTotale>5,00<"));
    put(QStringLiteral("empty.xml"), QByteArray());
    put(QStringLiteral("random.xml.p7m"), QByteArray("\x30\x82\x01\x00garbage", 12));
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    QFile::copy(sampleFile(QStringLiteral("IT01234567890_FPR01.xml")), folder.filePath(QStringLiteral("sub/f.xml")));

    struct Case {
        const char *name;
        const char *message;
    };
    const Case cases[] = {
        {"truncated.xml", "File truncated.xml non caricato: il file non e un XML ben formato"},
        {"page.xml", "File page.xml non caricato: il file non e una fattura elettronica FatturaPA"},
        {"wrongns.xml", "File wrongns.xml non caricato: il file non e una fattura elettronica FatturaPA"},
        {"badamount.xml", "File badamount.xml non caricato: fattura non leggibile: Valore non numerico in PrezzoTotale: \"5,00\""},
        {"empty.xml", "File empty.xml non caricato: il file non e un XML e non e un file firmato leggibile"},
        {"random.xml.p7m", "File random.xml.p7m non caricato: il file non e un XML e non e un file firmato leggibile"},
        {"missing.xml", "File non trovato: missing.xml"},
        {"sub/f.xml", "Nome file non valido: \"sub/f.xml\" (serve il solo nome del file, senza cartella, al massimo 40 caratteri)"},
        {"..", "Nome file non valido: \"..\" (serve il solo nome del file, senza cartella, al massimo 40 caratteri)"},
        {"..\\f.xml", "Nome file non valido: \"..\\f.xml\" (serve il solo nome del file, senza cartella, al massimo 40 caratteri)"},
        {"", "Nome file non valido: \"\" (serve il solo nome del file, senza cartella, al massimo 40 caratteri)"},
        {"a_name_of_forty_one_characters_in_all.xml",
         "Nome file non valido: \"a_name_of_forty_one_characters_in_all.xml\" (serve il solo nome del file, senza cartella, al massimo 40 caratteri)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadOutcome out = load(QString::fromUtf8(c.name));
        EXPECT_FALSE(out.loaded);
        EXPECT_EQ(out.message, QString::fromUtf8(c.message));
        EXPECT_EQ(count("test_car"), 0);
        EXPECT_EQ(count("dett_car"), 0);
    }
}

// The name is checked first; the same invoice under any other name is refused as well
// (test_received_once.cpp), so a name differing in letter case counts for another file
// only with another invoice in it.
TEST_F(LoadReceived, AFileLoadedTwiceIsRefusedTheSecondTimeAndANameDifferingInCaseIsAnotherFile)
{
    const QString name = putSample(QStringLiteral("IT01234567890_FPR03.xml"));
    ASSERT_TRUE(load(name).loaded);
    const QStringList headers = dump(QStringLiteral("SELECT * FROM test_car ORDER BY prot"));
    const QStringList lines = dump(QStringLiteral("SELECT * FROM dett_car ORDER BY prot_car, prog"));

    const LoadOutcome again = load(name);
    EXPECT_FALSE(again.loaded);
    EXPECT_EQ(again.message, QStringLiteral("Attenzione... File gia Caricato: IT01234567890_FPR03.xml"));
    EXPECT_EQ(dump(QStringLiteral("SELECT * FROM test_car ORDER BY prot")), headers);
    EXPECT_EQ(dump(QStringLiteral("SELECT * FROM dett_car ORDER BY prot_car, prog")), lines);

    const QString other = put(QStringLiteral("it01234567890_FPR03.xml"),
                              readAll(folder.filePath(name)).replace("<Numero>123</Numero>", "<Numero>124</Numero>").replace("<Numero>456</Numero>", "<Numero>457</Numero>"));
    EXPECT_TRUE(load(other).loaded);
    EXPECT_EQ(count("test_car"), 4);
}

TEST_F(LoadReceived, AFailureInTheSecondBodyLeavesNoRowOfTheFirst)
{
    QByteArray xml = readAll(sampleFile(QStringLiteral("IT01234567890_FPR03.xml")));
    // The second body's payment does not fit its 12-character column.
    xml.replace("<ImportoPagamento>2440.00</ImportoPagamento>", "<ImportoPagamento>1234567890123.00</ImportoPagamento>");
    const LoadOutcome out = load(put(QStringLiteral("toolarge.xml"), xml));
    EXPECT_FALSE(out.loaded);
    EXPECT_EQ(out.message, QStringLiteral("File toolarge.xml non caricato: Importo troppo grande per la colonna imp_scad1: 1234567890123,00"));
    EXPECT_EQ(count("test_car"), 0);
    EXPECT_EQ(count("dett_car"), 0);
}

} // namespace
