// The import from the management database: the lines of an imported invoice, the
// delivery-note references of a deferred invoice, and the closing steps (totals and file).
#include "import_fixture.h"


namespace {

class ImportLines : public ImportTest {};

struct LineCase {
    const char *name;
    Columns source;             // overrides of the source line
    QMap<QString, QVariant> expected;  // columns of the imported line; a null QVariant: NULL
};

TEST_F(ImportLines, LineMapping)
{
    const std::vector<LineCase> cases{
        {"cartons with a discount",
         {{"um", "CL"}, {"colli", 3}, {"quantita", 36}, {"pr_lordo", 10}, {"sc_1", 10}},
         {{"quantita", "3,00"}, {"um", "CL"}, {"prezzo_unit", "10,000"}, {"prezzo_tot", "27,000"},
          {"sc_perc", "10,00"}, {"sc_tipo", "SC"}, {"sc_importo", "3,00"}, {"aliquota", "22"}}},
        {"pieces with a discount",
         {{"um", "PZ"}, {"colli", 3}, {"quantita", 36}, {"pr_lordo", 10}, {"sc_1", 10}},
         {{"quantita", "36,00"}, {"prezzo_unit", "10,000"}, {"prezzo_tot", "324,000"}, {"sc_importo", "36,00"}}},
        {"no discount",
         {{"quantita", 2}, {"pr_lordo", 12.5}},
         {{"quantita", "2,00"}, {"prezzo_unit", "12,500"}, {"prezzo_tot", "25,000"},
          {"sc_perc", QVariant()}, {"sc_tipo", QVariant()}, {"sc_importo", QVariant()}}},
        {"cascaded discounts: their combined percentage",
         {{"quantita", 3}, {"pr_lordo", 10}, {"sc_1", 10}, {"sc_2", 5}},
         {{"prezzo_unit", "10,000"}, {"prezzo_tot", "25,650"}, {"sc_perc", "14,50"}, {"sc_importo", "4,35"}}},
        {"second discount only: its percentage",
         {{"quantita", 1}, {"pr_lordo", 10}, {"sc_1", 0}, {"sc_2", 10}},
         {{"prezzo_unit", "10,000"}, {"prezzo_tot", "9,000"}, {"sc_tipo", "SC"}, {"sc_perc", "10,00"}, {"sc_importo", "1,00"}}},
        {"rate 4,5 rounds to the even 4", {{"aliquota", 4.5}}, {{"aliquota", "4"}}},
        {"rate 5,5 rounds to the even 6", {{"aliquota", 5.5}}, {{"aliquota", "6"}}},
        {"texts passed on",
         {{"cod_art", "OLIO01"}, {"descrizione", "Olio extravergine"}, {"categoria", "ALI"}, {"lotto", "L24"},
          {"origine", "Italia"}},
         {{"codice_val", "OLIO01"}, {"descrizione", "Olio extravergine"}, {"categoria", "ALI"}, {"lotto", "L24"},
          {"origine", "Italia"}, {"natura", QVariant()}, {"codice_tipo", QVariant()}, {"tipo_cessione", QVariant()},
          {"ritenuta", QVariant()}, {"rif_amm", QVariant()}}},
    };
    const int prot = addDocument();
    for (const LineCase &c : cases)
        addLine(prot, c.source);
    runImport();

    const StoredRow h = header(QStringLiteral("1I"));
    const QList<StoredRow> lines = linesOf(h.id());
    ASSERT_EQ(lines.size(), int(cases.size()));
    for (int i = 0; i < lines.size(); ++i) {
        const LineCase &c = cases[size_t(i)];
        EXPECT_EQ(lines[i]["prog"], QString::number(i + 1)) << c.name;
        for (auto it = c.expected.begin(); it != c.expected.end(); ++it) {
            const QByteArray col = it.key().toLatin1();
            if (it.value().isNull())
                EXPECT_TRUE(lines[i].isNull(col.constData())) << c.name << ": " << col.constData();
            else
                EXPECT_EQ(lines[i][col.constData()], it.value().toString()) << c.name << ": " << col.constData();
        }
    }
}

TEST_F(ImportLines, DeferredInvoiceGetsAReferenceRowAndTheLinesOfEachNote)
{
    const int fd = addDocument({{"reg_doc", "FD"}, {"num_doc", 2}, {"imponibile1", 30}, {"iva1", 1.2}, {"aliquota1", 4},
                                {"imponibile2", 50}, {"iva2", 11}, {"aliquota2", 22}});
    const QString longName = QStringLiteral("Supermercati Rossi - Punto Vendita di Casalecchio");  // 49 characters
    const QString longStreet = QStringLiteral("Via Porrettana 320 - Zona Industriale");               // 37 characters
    const int note2025 = addDocument({{"reg_doc", "DDT"}, {"anno", 2025}, {"num_doc", 310}, {"data", "2025-12-29"},
                                      {"prot_f_diff", fd}, {"dest_soc", longName}, {"dest_indirizzo", longStreet}});
    addLine(note2025, {{"descrizione", "Olio"}, {"quantita", 1}, {"pr_lordo", 10}, {"aliquota", 4}});
    addLine(note2025, {{"descrizione", "Pasta"}, {"quantita", 2}, {"pr_lordo", 10}, {"aliquota", 4}});
    const int note2026 = addDocument({{"reg_doc", "DDT"}, {"num_doc", 15}, {"data", "2026-01-12"}, {"prot_f_diff", fd},
                                      {"dest_soc", QVariant()}, {"dest_indirizzo", QVariant()}});
    addLine(note2026, {{"descrizione", "Detersivo"}, {"quantita", 2}, {"pr_lordo", 25}, {"aliquota", 22}});
    const int note2024 = addDocument({{"reg_doc", "DDT"}, {"anno", 2024}, {"num_doc", 512}, {"data", "2024-12-20"},
                                      {"prot_f_diff", fd}});
    addLine(note2024, {{"descrizione", "Vecchia bolla"}});
    const int otherNote = addDocument({{"reg_doc", "DDT"}, {"num_doc", 16}, {"prot_f_diff", 999}});
    addLine(otherNote, {{"descrizione", "Altra fattura"}});
    runImport();

    const StoredRow h = header(QStringLiteral("2D"));
    EXPECT_EQ(h["tipo_doc"], "TD24");
    const QList<StoredRow> lines = linesOf(h.id());
    QStringList descriptions, progs;
    for (const StoredRow &l : lines) {
        descriptions << l["descrizione"];
        progs << l["prog"];
    }
    EXPECT_EQ(descriptions,
              (QStringList{(QStringLiteral("Rif. Bolla DDT n. 310 del 29/12/2025 ") + longName.left(35) + QLatin1Char(' ')
                               + longStreet.left(30)).left(100),
                           "Olio", "Pasta", "Rif. Bolla DDT n. 15 del 12/01/2026  ", "Detersivo"}));
    EXPECT_EQ(progs, (QStringList{"1", "2", "3", "4", "5"}));

    const StoredRow &ref = lines[0];
    EXPECT_EQ(ref["quantita"], "0,00");
    EXPECT_EQ(ref["prezzo_unit"], "0,00");
    EXPECT_EQ(ref["prezzo_tot"], "0,00");
    EXPECT_EQ(ref["aliquota"], "4");   // the rate of source slot A
    for (const char *col : {"codice_val", "um", "categoria", "lotto", "origine"})
        EXPECT_EQ(ref[col], "") << col;
    for (const char *col : {"sc_tipo", "sc_perc", "sc_importo", "natura", "codice_tipo"})
        EXPECT_TRUE(ref.isNull(col)) << col;

    // The totals come from the notes' lines only.
    EXPECT_EQ(h["aliquota"], "4");
    EXPECT_EQ(h["imponibile"], "30,00");
    EXPECT_EQ(h["aliquota2"], "22");
    EXPECT_EQ(h["imponibile2"], "50,00");
    EXPECT_EQ(h["tot_doc"], "92,20");
    EXPECT_TRUE(fileExists(h));
}

// The reference row is cut to its column; the nature of the notes' lines follows the
// buyer of the invoice, not that of the note.
TEST_F(ImportLines, ReferenceRowCutAndNatureOfTheInvoice)
{
    const int fd = addDocument({{"reg_doc", "FD"}, {"prov", " EX"}});
    const int note = addDocument({{"reg_doc", "DDT"}, {"num_doc", 1234567}, {"prot_f_diff", fd}, {"prov", "IN"},
                                  {"dest_soc", QString(60, QLatin1Char('S'))}, {"dest_indirizzo", QString(60, QLatin1Char('V'))}});
    addLine(note);
    runImport();
    const QString full = QStringLiteral("Rif. Bolla DDT n. 1234567 del 15/01/2026 ") + QString(35, QLatin1Char('S'))
        + QLatin1Char(' ') + QString(30, QLatin1Char('V'));
    const QList<StoredRow> lines = linesOf(headers().value(0).id());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0]["descrizione"], full.left(100));
    EXPECT_TRUE(lines[0].isNull("natura"));
    EXPECT_EQ(lines[1]["natura"], "N3.1");
}

// A deferred invoice that no delivery note points to gets no lines; its file cannot be
// written, which stops the import; the invoice stays, and the next run goes past it.
TEST_F(ImportLines, DeferredInvoiceWithoutNotesStopsAtTheFile)
{
    addDocument({{"reg_doc", "FD"}, {"num_doc", 1}});
    const int note2024 = addDocument({{"reg_doc", "DDT"}, {"anno", 2024}, {"prot_f_diff", 1}});
    addLine(note2024);
    addLine(addDocument({{"num_doc", 2}}));

    EXPECT_FALSE(importError().isEmpty());
    ASSERT_EQ(numbers(), QStringList{"1D"});
    const StoredRow fd = header(QStringLiteral("1D"));
    EXPECT_TRUE(linesOf(fd.id()).isEmpty());
    EXPECT_EQ(fd["tot_doc"], "0,00");
    EXPECT_EQ(fd["imponibile"], "");
    EXPECT_FALSE(fileExists(fd));

    EXPECT_EQ(importError(), QString());
    EXPECT_EQ(numbers(), (QStringList{"1D", "2I"}));
    EXPECT_TRUE(fileExists(header(QStringLiteral("2I"))));
}

// 9,99 at 7 %: the gross price, the percentage and the discount amount of the line to the
// cent, as the line editor stores them; the file of the invoice is valid.
TEST_F(ImportLines, DiscountedLineAtSevenPercentWritesAValidFile)
{
    const int prot = addDocument({{"cod_destinatario", QVariant()}, {"partiva", ""}});
    addLine(prot, {{"quantita", 1}, {"pr_lordo", 9.99}, {"sc_1", 7}});
    runImport();

    const StoredRow h = header(QStringLiteral("1I"));
    const QList<StoredRow> lines = linesOf(h.id());
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0]["prezzo_unit"], QStringLiteral("9,990"));
    EXPECT_EQ(lines[0]["sc_importo"], QStringLiteral("0,70"));
    EXPECT_EQ(lines[0]["prezzo_tot"], QStringLiteral("9,291"));
    ASSERT_TRUE(fileExists(h));
    QFile file(folder() + h["nome_file"]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    for (const char *element : {"<CodiceDestinatario>0000000</CodiceDestinatario>",
                                "<CodiceFiscale>FRRLCU75M12F257W</CodiceFiscale>\r\n<Anagrafica>",
                                "<ScontoMaggiorazione>\r\n<Tipo>SC</Tipo>\r\n<Percentuale>7.00</Percentuale>\r\n"
                                "<Importo>0.70</Importo>\r\n</ScontoMaggiorazione>"})
        EXPECT_TRUE(content.contains(element)) << element;
    EXPECT_EQ(schemaErrors(h), QString());
}

TEST_F(ImportLines, EveryDemoInvoiceGetsItsFile)
{
    norva->load(QStringLiteral("demo_norva26.sql"));
    runImport(QStringLiteral("A"), QStringLiteral("30/06/26"));
    const QList<StoredRow> h = headers();
    QStringList got;
    for (const StoredRow &row : h)
        got << row["num_doc"] + QLatin1Char('/') + row["tipo_doc"];
    EXPECT_EQ(got, (QStringList{"1I/TD01", "2D/TD24", "FI 1/TD01", "1/TD04", "3I/TD01", "NI 1/TD04", "4I/TD01"}));

    for (const StoredRow &row : h) {
        ASSERT_TRUE(fileExists(row)) << row["num_doc"].toStdString();
        EXPECT_EQ(row["nome_file"], QStringLiteral("IT03184520363_%1.xml").arg(row.id(), 5, 10, QLatin1Char('0')));
        QFile file(folder() + row["nome_file"]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains(("<Numero>" + row["num_doc"] + "</Numero>").toUtf8())) << row["num_doc"].toStdString();
    }

    // The deferred invoice bills the notes of 2025 and 2026, not the one of 2024.
    const StoredRow fd = header(QStringLiteral("2D"));
    QStringList refs;
    for (const StoredRow &l : linesOf(fd.id()))
        if (l["descrizione"].startsWith(QLatin1String("Rif. Bolla")))
            refs << l["descrizione"].section(QLatin1Char(' '), 2, 6);
    EXPECT_EQ(refs, (QStringList{"DDT n. 310 del 29/12/2025", "DDT n. 15 del 12/01/2026", "DDT n. 21 del 20/01/2026"}));
    EXPECT_EQ(fd["tot_doc"], "364,88");
}

} // namespace
