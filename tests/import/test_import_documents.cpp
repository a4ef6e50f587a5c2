// The import from the management database: which documents come over, how they are
// numbered and typed, and the buyer data and codes of the invoice headers.
#include "import_fixture.h"

#include "import/imported_document.h"
#include "import/imported_header.h"

namespace {

class ImportDocuments : public ImportTest {};

TEST_F(ImportDocuments, AnsweringNoChangesNothing)
{
    addLine(addDocument());
    messages.answer = false;
    runImport();
    EXPECT_EQ(messages.questions, QStringList{QStringLiteral("Confermi importazione Fatture: ?")});
    EXPECT_TRUE(headers().isEmpty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(diz->Test_Fatt.isOpen());
}

TEST_F(ImportDocuments, DateLimitAndRepeatedRuns)
{
    addLine(addDocument({{"num_doc", 1}, {"data", "2026-01-10"}}));
    addLine(addDocument({{"num_doc", 2}, {"data", "2026-01-20"}}));
    addLine(addDocument({{"num_doc", 3}, {"data", "2026-01-15"}}));

    runImport(QStringLiteral("A"), QStringLiteral("15/01/26"));
    EXPECT_EQ(numbers(), (QStringList{"1I", "3I"}));

    // The same date again brings nothing; nothing already there is touched.
    xml->sql().exec(QStringLiteral("UPDATE testata SET rag_soc = 'cambiata'"));
    runImport(QStringLiteral("A"), QStringLiteral("15/01/26"));
    EXPECT_EQ(numbers(), (QStringList{"1I", "3I"}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE rag_soc = 'cambiata'")), 2);

    // A later date brings the document left out.
    runImport(QStringLiteral("A"), QStringLiteral("31/01/26"));
    EXPECT_EQ(numbers(), (QStringList{"1I", "3I", "2I"}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 3);
    runImport(QStringLiteral("A"), QStringLiteral("31/01/26"));
    EXPECT_EQ(headers().size(), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 3);
}

TEST_F(ImportDocuments, OnlyTheInvoicesAndCreditNotesOf2026)
{
    addLine(addDocument({{"num_doc", 1}, {"anno", 2025}, {"data", "2025-12-30"}}));
    addLine(addDocument({{"num_doc", 2}, {"anno", 2027}, {"data", "2026-01-02"}}));
    addLine(addDocument({{"num_doc", 3}, {"reg_doc", "DDT"}}));
    addLine(addDocument({{"num_doc", 4}, {"reg_doc", "FA"}}));
    addLine(addDocument({{"num_doc", 5}}));
    runImport();
    EXPECT_EQ(numbers(), QStringList{"5I"});
}

TEST_F(ImportDocuments, InvalidLimitDateStopsBeforeAnything)
{
    addLine(addDocument());
    EXPECT_EQ(importError(QStringLiteral("A"), QStringLiteral("  /  /  ")), QStringLiteral("'  /  /  ' is not a valid date"));
    EXPECT_TRUE(headers().isEmpty());
}

// Number 15 of each register under the workspace captions "A" (no suffix) and "B".
struct NumberCase {
    const char *caption;
    std::map<std::string, std::pair<QString, QString>> byRegister;  // register -> number text, type
};

class ImportNumbers : public ImportTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(ImportNumbers, NumberTextAndTypeFollowTheRegister)
{
    for (const char *reg : {"FV", "FD", "FI", "NC", "NI"}) {
        const int prot = addDocument({{"reg_doc", reg}, {"num_doc", 15}});
        if (QLatin1String(reg) == QLatin1String("FD")) {
            const int note = addDocument({{"reg_doc", "DDT"}, {"num_doc", 7}, {"prot_f_diff", prot}});
            addLine(note);
        } else {
            addLine(prot);
        }
    }
    runImport(QString::fromLatin1(GetParam().caption));
    const QList<StoredRow> h = headers();
    ASSERT_EQ(h.size(), 5);
    // Headers come in protocol order, that is the order of the registers above.
    std::map<std::string, std::pair<QString, QString>> got;
    const char *order[] = {"FV", "FD", "FI", "NC", "NI"};
    for (int i = 0; i < 5; ++i)
        got[order[i]] = {h[i]["num_doc"], h[i]["tipo_doc"]};
    EXPECT_EQ(got, GetParam().byRegister);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, ImportNumbers,
    ::testing::Values(NumberCase{"A",
                                 {{"FV", {"15I", "TD01"}},
                                  {"FD", {"15D", "TD24"}},
                                  {"FI", {"FI 15", "TD01"}},
                                  {"NC", {"15", "TD04"}},
                                  {"NI", {"NI 15", "TD04"}}}},
                      NumberCase{"B",
                                 {{"FV", {"15 /BI", "TD01"}},
                                  {"FD", {"15 /BD", "TD24"}},
                                  {"FI", {"FI 15 /B", "TD01"}},
                                  {"NC", {"15 /B", "TD04"}},
                                  {"NI", {"NI 15 /B", "TD04"}}}}));

TEST_F(ImportDocuments, AHeaderWithTheSameNumberAndTypeMakesTheImportSkipTheDocument)
{
    addLine(addDocument({{"num_doc", 15}}));                    // 15I TD01: typed by hand already
    addLine(addDocument({{"num_doc", 16}}));                    // 16I TD01: typed by hand as TD04 only
    addLine(addDocument({{"num_doc", 17}}));                    // 17I: "17i" exists, case counts
    insert(*xml, QStringLiteral("testata"), {{"num_doc", "15I"}, {"tipo_doc", "TD01"}, {"data_doc", "01/01/2025"}});
    insert(*xml, QStringLiteral("testata"), {{"num_doc", "16I"}, {"tipo_doc", "TD04"}});
    insert(*xml, QStringLiteral("testata"), {{"num_doc", "17i"}, {"tipo_doc", "TD01"}});
    runImport();
    EXPECT_EQ(numbers(), (QStringList{"15I", "16I", "17i", "16I", "17I"}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 2);
}

TEST_F(ImportDocuments, BuyerDataAndCodesOfDomesticBuyers)
{
    // A public-administration office (six-character code), a private buyer with a
    // seven-character code, and one without any code; two VAT rates each.
    const Columns twoRates{{"imponibile1", 100}, {"iva1", 22}, {"aliquota1", 22},
                           {"imponibile2", 50}, {"iva2", 5}, {"aliquota2", 10}};
    for (const auto &[num, code] : std::vector<std::pair<int, QVariant>>{{1, "UFQ7LM"}, {2, "KRRH6B9"}, {3, QVariant()}}) {
        const int prot = addDocument(merged(twoRates, {{"num_doc", num}, {"cod_destinatario", code}}));
        addLine(prot);
        addLine(prot, {{"aliquota", 10}, {"quantita", 1}});
    }
    runImport();

    const StoredRow pa = header(QStringLiteral("1I"));
    EXPECT_EQ(pa["esig_iva"], "S");
    EXPECT_EQ(pa["esig_iva2"], "S");
    EXPECT_EQ(pa["esig_iva3"], "I");   // default: no third slot
    EXPECT_TRUE(pa.isNull("esig_iva4"));
    EXPECT_EQ(pa["mod_pag"], "MP05");
    EXPECT_EQ(pa["cod_dest"], "UFQ7LM");

    const StoredRow priv = header(QStringLiteral("2I"));
    EXPECT_EQ(priv["esig_iva"], "I");
    EXPECT_EQ(priv["esig_iva2"], "I");
    EXPECT_EQ(priv["mod_pag"], "");
    EXPECT_EQ(priv["cod_dest"], "KRRH6B9");
    EXPECT_EQ(priv["rag_soc"], "Alimentari Ferri di Ferri Luca");
    EXPECT_EQ(priv["indirizzo"], "Via Emilia 215");
    EXPECT_EQ(priv["comune"], "San Lazzaro di Savena");
    EXPECT_EQ(priv["cap"], "40068");
    EXPECT_EQ(priv["prov"], "BO");
    EXPECT_EQ(priv["nazione"], "IT");
    EXPECT_EQ(priv["p_iva"], "00412360372");
    EXPECT_EQ(priv["cod_fis"], "FRRLCU75M12F257W");
    EXPECT_EQ(priv["pec"], "ferri@pec.it");
    EXPECT_EQ(priv["dest_soc"], "Alimentari Ferri");
    EXPECT_EQ(priv["dest_indir"], "Via Emilia 215");
    EXPECT_EQ(priv["dest_cap"], "40068");
    EXPECT_EQ(priv["dest_comune"], "San Lazzaro di Savena");
    EXPECT_EQ(priv["data_doc"], "15/01/2026");
    EXPECT_EQ(priv["tipo_pag"], "TP02");
    EXPECT_EQ(priv["spese"], "0,00");
    EXPECT_EQ(priv["arrot"], "0");
    EXPECT_EQ(priv["spese2"], "0,00");
    EXPECT_EQ(priv["arrot2"], "0");
    // New-invoice defaults the import does not overwrite.
    EXPECT_EQ(priv["causale"], "Vendita");
    EXPECT_EQ(priv["trasporto"], "Vettore");
    EXPECT_EQ(priv["porto"], "Franco");
    EXPECT_EQ(priv["aspetto"], "Cartoni, Imballi");
    EXPECT_EQ(priv["colli"], "");
    EXPECT_EQ(priv["spese3"], "0,00");
    EXPECT_EQ(priv["arrot3"], "0,00");
    // The totals are those of the imported lines.
    EXPECT_EQ(priv["aliquota"], "22");
    EXPECT_EQ(priv["imponibile"], "100,00");
    EXPECT_EQ(priv["aliquota2"], "10");
    EXPECT_EQ(priv["imponibile2"], "50,00");
    EXPECT_EQ(priv["sc_importo"], "0,00");
    EXPECT_EQ(priv["tot_doc"], "177,00");

    const StoredRow none = header(QStringLiteral("3I"));
    EXPECT_EQ(none["esig_iva"], "I");
    EXPECT_EQ(none["mod_pag"], "");
    EXPECT_EQ(none["cod_dest"], "");
}

TEST_F(ImportDocuments, ForeignBuyers)
{
    const Columns foreign{{"rag_soc", "Swiss Gourmet AG"}, {"cod_destinatario", "XXXXXXX"}, {"pec", "x@y.ch"},
                          {"partiva", "CHE12345678"}, {"cod_fis", "CH1"},
                          {"imponibile1", 0}, {"iva1", 0}, {"aliquota1", 0}, {"imponibile3", 29}};
    const int ni = addDocument(merged(foreign, {{"reg_doc", "NI"}, {"num_doc", 15}, {"prov", "EX"}}));
    addLine(ni, {{"quantita", 2}, {"pr_lordo", 14.5}, {"aliquota", 0}});
    const int fi = addDocument(merged(foreign, {{"reg_doc", "FI"}, {"num_doc", 16}, {"prov", " IN "}}));
    addLine(fi, {{"quantita", 2}, {"pr_lordo", 14.5}, {"aliquota", 0}});
    const int other = addDocument(merged(foreign, {{"reg_doc", "FI"}, {"num_doc", 17}, {"prov", "ZZ"}}));
    addLine(other, {{"quantita", 2}, {"pr_lordo", 14.5}, {"aliquota", 0}});
    runImport();

    const StoredRow nc = header(QStringLiteral("NI 15"));
    EXPECT_EQ(nc["tipo_doc"], "TD04");
    EXPECT_EQ(nc["nazione"], "ES");
    EXPECT_EQ(nc["cod_dest"], "XXXXXXX");
    EXPECT_EQ(nc["natura"], "N3.1");
    EXPECT_EQ(nc["normativa"], "Non Soggetta");
    EXPECT_EQ(nc["cod_fis"], "");
    EXPECT_EQ(nc["p_iva"], "CHE12345678");
    EXPECT_EQ(nc["pec"], "");
    EXPECT_EQ(nc["prov"], "");
    for (const char *col : {"esig_iva", "esig_iva2", "esig_iva3", "esig_iva4"})
        EXPECT_EQ(nc[col], "") << col;
    EXPECT_EQ(nc["imponibile"], "29,00");
    EXPECT_EQ(nc["aliquota"], "0");
    EXPECT_EQ(nc["tot_doc"], "29,00");
    for (const StoredRow &line : linesOf(nc.id()))
        EXPECT_EQ(line["natura"], "N3.1");

    const StoredRow intra = header(QStringLiteral("FI 16"));
    EXPECT_EQ(intra["tipo_doc"], "TD01");
    EXPECT_EQ(intra["natura"], "N3.2");
    EXPECT_EQ(linesOf(intra.id()).value(0)["natura"], "N3.2");

    const StoredRow unknown = header(QStringLiteral("FI 17"));
    EXPECT_TRUE(unknown.isNull("natura"));
    EXPECT_TRUE(linesOf(unknown.id()).value(0).isNull("natura"));
    EXPECT_EQ(unknown["normativa"], "Non Soggetta");
}

// The header as the import writes it, before the totals are rebuilt from the lines.
class ImportedHeaderColumns : public ImportTest {
protected:
    StoredRow headerOf(int protocollo)
    {
        diz->Dati.open();
        diz->Test_Fatt.setSql(importSelectionSql(norva->name(), QStringLiteral("2026")));
        diz->Test_Fatt.open();
        EXPECT_TRUE(diz->Test_Fatt.locate(QStringLiteral("protocollo"), protocollo));
        const int id = appendImportedHeader(diz->Testata, diz->Test_Fatt, readImportedDocument(diz->Test_Fatt, QStringLiteral("A")));
        diz->Test_Fatt.close();
        return rows(QStringLiteral("SELECT * FROM testata WHERE id_invio = ?"), {id}).value(0);
    }
};

TEST_F(ImportedHeaderColumns, VatSlotsComeFromGroupsWithVatOnly)
{
    // Group 1 non-taxable, group 2 at the same rate as group 3, group 4 without VAT,
    // group 5 a third rate; discounts, expenses and stamp duty for the totals.
    const int prot = addDocument({{"imponibile1", 80}, {"iva1", 0}, {"aliquota1", 0},
                                  {"imponibile2", 40}, {"iva2", 8.8}, {"aliquota2", 22},
                                  {"imponibile3", 50}, {"iva3", 11}, {"aliquota3", 22},
                                  {"imponibile4", 30}, {"iva4", 0}, {"aliquota4", 10},
                                  {"imponibile5", 20}, {"iva5", 1.1}, {"aliquota5", 5.5},
                                  {"val_sconto1", 5}, {"val_sconto3", 2.5}, {"spese_tr", 10}, {"spese_inc", 5},
                                  {"aliq_spese", 22}, {"bolli", 2}, {"abbuono", 0.5}});
    const StoredRow h = headerOf(prot);
    EXPECT_EQ(h["imponibile"], "40,00");
    EXPECT_EQ(h["imposta"], "8,80");
    EXPECT_EQ(h["aliquota"], "22");
    EXPECT_EQ(h["imponibile2"], "20,00");
    EXPECT_EQ(h["imposta2"], "1,10");
    EXPECT_EQ(h["aliquota2"], "5,5");
    for (const char *col : {"imponibile3", "imposta3", "imponibile4", "imposta4"})
        EXPECT_EQ(h[col], "0,00") << col;
    EXPECT_EQ(h["aliquota3"], "0");
    EXPECT_EQ(h["aliquota4"], "0");
    EXPECT_EQ(h["esig_iva2"], "I");
    EXPECT_EQ(h["esig_iva3"], "I");   // default kept
    EXPECT_TRUE(h.isNull("esig_iva4"));
    EXPECT_EQ(h["sc_importo"], "7,50");
    // 220 - 7,50 + 15 of goods and expenses, 20,90 + 3,30 of VAT, + 2 - 0,50
    EXPECT_EQ(h["tot_doc"], "253,20");
    EXPECT_EQ(h["mod_pag"], "");
    EXPECT_EQ(h["tipo_doc"], "TD01");
}

TEST_F(ImportedHeaderColumns, VatOnlyInGroupThreeFillsSlotAFromIt)
{
    const int prot = addDocument({{"imponibile1", 100}, {"iva1", 0}, {"aliquota1", 0},
                                  {"imponibile3", 50}, {"iva3", 11}, {"aliquota3", 22},
                                  {"cod_destinatario", "UFQ7LM"}});
    const StoredRow h = headerOf(prot);
    EXPECT_EQ(h["imponibile"], "50,00");
    EXPECT_EQ(h["imposta"], "11,00");
    EXPECT_EQ(h["aliquota"], "22");
    EXPECT_EQ(h["imponibile2"], "0,00");
    EXPECT_EQ(h["aliquota2"], "0");
    EXPECT_EQ(h["esig_iva"], "S");
    EXPECT_EQ(h["esig_iva2"], "I");   // slot B empty: default kept
}

TEST_F(ImportedHeaderColumns, ForeignBuyerReplacesTheBuckets)
{
    const int prot = addDocument({{"reg_doc", "FI"}, {"prov", "IN"}, {"imponibile3", 588.6}, {"iva1", 0},
                                  {"imponibile4", 10}, {"iva4", 2.2}, {"aliquota4", 22}});
    const StoredRow h = headerOf(prot);
    EXPECT_EQ(h["imponibile"], "588,60");
    EXPECT_EQ(h["imposta"], "0,00");
    EXPECT_EQ(h["aliquota"], "0,00");
    for (const char *col : {"imponibile2", "imposta2", "aliquota2", "imponibile3", "imposta3", "aliquota3"})
        EXPECT_EQ(h[col], "") << col;
    EXPECT_EQ(h["natura"], "N3.2");
    EXPECT_EQ(h["esig_iva"], "");
}

// A number that would not fit num_doc stops the import before anything of its document
// is written; one that fits exactly comes over.
TEST_F(ImportDocuments, NumberTooLongForNumDocStopsTheImport)
{
    addLine(addDocument({{"num_doc", 123}, {"data", "2026-02-03"}}));
    const QString error = importError(QStringLiteral("LUNGA"));
    EXPECT_TRUE(error.contains(QLatin1String("FV n. 123 del 03/02/2026"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("\"123 /LUNGAI\""))) << error.toStdString();
    EXPECT_TRUE(headers().isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);

    runImport(QStringLiteral("ABCD"));
    EXPECT_EQ(numbers(), QStringList{"123 /ABCDI"});
}

TEST_F(ImportDocuments, MissingNumbersCountAsZero)
{
    Columns nulls{{"imponibile1", 100}, {"iva1", 22}, {"aliquota1", 22}, {"abbuono", QVariant()},
                  {"spese_tr", QVariant()}, {"bolli", QVariant()}};
    for (int k = 2; k <= 5; ++k)
        for (const char *col : {"imponibile", "iva", "aliquota", "val_sconto"})
            nulls.insert(QLatin1String(col) + QString::number(k), QVariant());
    const int prot = addDocument(nulls);
    addLine(prot);
    addLine(prot, {{"quantita", QVariant()}, {"sc_1", QVariant()}, {"sc_2", QVariant()}, {"aliquota", QVariant()},
                   {"pr_lordo", QVariant()}, {"cod_art", QVariant()}, {"descrizione", QVariant()},
                   {"um", QVariant()}, {"categoria", QVariant()}, {"lotto", QVariant()}, {"origine", QVariant()}});
    runImport();
    const StoredRow h = header(QStringLiteral("1I"));
    EXPECT_EQ(h["tot_doc"], "122,00");
    EXPECT_TRUE(fileExists(h));
    const QList<StoredRow> lines = linesOf(h.id());
    ASSERT_EQ(lines.size(), 2);
    const StoredRow &empty = lines[1];
    EXPECT_EQ(empty["quantita"], "0,00");
    EXPECT_EQ(empty["prezzo_unit"], "0,000");
    EXPECT_EQ(empty["prezzo_tot"], "0,000");
    EXPECT_EQ(empty["aliquota"], "0");
    EXPECT_TRUE(empty.isNull("sc_perc"));
    EXPECT_TRUE(empty.isNull("codice_val"));
    EXPECT_TRUE(empty.isNull("descrizione"));
    EXPECT_EQ(empty["um"], "");
    EXPECT_EQ(empty["categoria"], "");
    EXPECT_EQ(empty["lotto"], "");
    EXPECT_EQ(empty["origine"], "");
}

} // namespace
