// The import under faults: amounts too long for their columns are refused, never cut,
// and a document is either not there at all or there with its lines and totals.
#include "import_fixture.h"

namespace {

class ImportFaults : public ImportTest {
protected:
    void TearDown() override { xml->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_import_update")); }

    // Documents 1, 2 and 3 of one line of 2 × 50 at 22 % each; `second` and `secondLine`
    // change the second document and its line.
    void addThreeDocuments(const Columns &second = {}, const Columns &secondLine = {})
    {
        for (int num = 1; num <= 3; ++num) {
            const int prot = addDocument(merged({{"num_doc", num}}, num == 2 ? second : Columns{}));
            addLine(prot, num == 2 ? secondLine : Columns{});
        }
    }

    static void expectWhole(const QString &number)
    {
        const StoredRow h = header(number);
        ASSERT_EQ(linesOf(h.id()).size(), 1) << number.toStdString();
        EXPECT_EQ(h["imponibile"], QStringLiteral("100,00")) << number.toStdString();
        EXPECT_EQ(h["imposta"], QStringLiteral("22,00")) << number.toStdString();
        EXPECT_EQ(h["tot_doc"], QStringLiteral("122,00")) << number.toStdString();
    }
};

// A source line of 1.000.000 × 10.000.000 and other amounts that do not fit their columns:
// the document is refused with the amount named, nothing of it is stored, the documents
// before it stay whole, and every later run refuses it again.
TEST_F(ImportFaults, AmountsTooLongForTheirColumnsAreRefusedNotCut)
{
    const struct {
        const char *what;
        Columns document, line;
        const char *message;
    } cases[] = {
        {"line amount of 10^13", {}, {{"quantita", 1000000}, {"pr_lordo", 10000000}},
         "Importo troppo grande per prezzo_tot: 10000000000000,000"},
        {"quantity of 2^40", {}, {{"quantita", 1099511627776.0}, {"pr_lordo", 0}},
         "Importo troppo grande per quantita: 1099511627776,00"},
        {"unit price of 10^9", {}, {{"quantita", 1}, {"pr_lordo", 1000000000}},
         "Importo troppo grande per prezzo_unit: 1000000000,000"},
        {"discount amount with 13 integer digits", {}, {{"quantita", 1000000}, {"pr_lordo", 10000000}, {"sc_1", 99.99}},
         "Importo troppo grande per sc_importo: 9999000000000,00"},
        {"rate of 10^7", {}, {{"aliquota", 10000000}}, "Importo troppo grande per aliquota: 10000000"},
        {"quantity of 10^38", {}, {{"quantita", 1e38}, {"pr_lordo", 1}},
         "Importo troppo grande per quantita: 9,9999996802856925e+37"},
        {"document total of 10^12", {{"bolli", 1e12}}, {}, "Importo troppo grande per tot_doc: 1000000000122,00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        addThreeDocuments(c.document, c.line);

        EXPECT_EQ(importError(), QString::fromUtf8(c.message));
        EXPECT_EQ(numbers(), QStringList{"1I"});
        expectWhole(QStringLiteral("1I"));
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
        EXPECT_EQ(diz->Testata.rowCount(), 1);

        EXPECT_EQ(importError(), QString::fromUtf8(c.message));
        EXPECT_EQ(numbers(), QStringList{"1I"});
    }
}

// The server refuses the totals of the second document (as a connection lost at that
// moment would): the document is not left behind without totals and file; once the
// server accepts them, the next run brings it over whole.
TEST_F(ImportFaults, AReRunLeavesEveryImportedDocumentWhole)
{
    // The source header's own totals differ from its lines', so that totals never
    // computed would show.
    addThreeDocuments({{"imponibile1", 1000}, {"iva1", 220}});
    xml->sql().exec(QStringLiteral("CREATE TRIGGER refuse_import_update BEFORE UPDATE ON testata FOR EACH ROW "
                                   "IF NEW.num_doc = '2I' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Totali rifiutati'; "
                                   "END IF"));

    EXPECT_EQ(importError(), QStringLiteral("Totali rifiutati"));
    EXPECT_EQ(numbers(), QStringList{"1I"});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);

    xml->sql().exec(QStringLiteral("DROP TRIGGER refuse_import_update"));
    EXPECT_EQ(importError(), QString());
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I"}));
    for (const QString &number : {QStringLiteral("1I"), QStringLiteral("2I"), QStringLiteral("3I")}) {
        expectWhole(number);
        EXPECT_TRUE(fileExists(header(number))) << number.toStdString();
    }
}

// Characters an XML document cannot hold, in a source description, never reach the file:
// the import runs through and the file is valid.
TEST_F(ImportFaults, ControlCharactersOfTheSourceDoNotSpoilTheFile)
{
    const int prot = addDocument();
    addLine(prot, {{"descrizione", QStringLiteral("Olio\x01 extra") + QChar(u'\0') + QStringLiteral("vergine\x1F")}});
    EXPECT_EQ(importError(), QString());
    const StoredRow h = header(QStringLiteral("1I"));
    ASSERT_TRUE(fileExists(h));
    EXPECT_EQ(schemaErrors(h), QString());
    QFile file(folder() + h["nome_file"]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<Descrizione>Olio extravergine</Descrizione>"));
}

} // namespace
