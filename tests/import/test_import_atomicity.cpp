// The import writes a document's header and lines as one unit: a failure or a lost
// connection in the middle of the lines leaves nothing of that document, and the next run
// brings it over whole. Failures after that (totals, file) keep the complete invoice.
#include "import_fixture.h"

#include <QDir>
#include <functional>

namespace {

class ImportAtomicity : public ImportTest {
protected:
    void TearDown() override { diz->Detta.setNewRecordHook(nullptr); }

    // Three invoices of 2, 5 and 1 lines.
    void addThreeInvoices()
    {
        for (const auto &[num, lines] : std::vector<std::pair<int, int>>{{1, 2}, {2, 5}, {3, 1}}) {
            const int prot = addDocument({{"num_doc", num}});
            for (int i = 1; i <= lines; ++i)
                addLine(prot, {{"descrizione", QStringLiteral("Riga %1").arg(i)}});
        }
    }

    // Runs `failure` when the import makes its `nth` line (counting over all invoices).
    void failAtLine(int nth, std::function<void()> failure)
    {
        auto made = std::make_shared<int>(0);
        diz->Detta.setNewRecordHook([=](DbTable &) {
            if (++*made == nth)
                failure();
        });
    }

    static void expectWhole(const QString &number, int lineCount)
    {
        const StoredRow h = header(number);
        const QList<StoredRow> lines = linesOf(h.id());
        ASSERT_EQ(lines.size(), lineCount) << number.toStdString();
        for (int i = 0; i < lineCount; ++i) {
            EXPECT_EQ(lines[i]["prog"], QString::number(i + 1));
            EXPECT_EQ(lines[i]["descrizione"], QStringLiteral("Riga %1").arg(i + 1));
        }
        EXPECT_EQ(h["tot_doc"], QString::number(122 * lineCount) + QStringLiteral(",00"));
    }
};

enum class Break { ConnectionKilled, LineRefused };

class ImportBreaks : public ImportAtomicity, public ::testing::WithParamInterface<Break> {
protected:
    static void breakNow()
    {
        if (GetParam() == Break::ConnectionKilled)
            xml->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(diz->xml_conn.threadId()));
        else
            throw DbError(QStringLiteral("Riga rifiutata"));
    }
};

TEST_P(ImportBreaks, NothingOfTheDocumentRemainsAndTheNextRunBringsItWhole)
{
    addThreeInvoices();
    failAtLine(2 + 3, breakNow);  // the third line of invoice 2

    EXPECT_FALSE(importError().isEmpty());
    EXPECT_EQ(numbers(), QStringList{"1I"});
    expectWhole(QStringLiteral("1I"), 2);
    EXPECT_TRUE(fileExists(header(QStringLiteral("1I"))));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 2);
    // The shared tables hold what the server holds.
    EXPECT_EQ(diz->Testata.rowCount(), 1);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(diz->Detta.state(), DbTable::State::Browse);

    diz->Detta.setNewRecordHook(nullptr);
    runImport();
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I"}));
    expectWhole(QStringLiteral("2I"), 5);
    expectWhole(QStringLiteral("3I"), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 8);
    for (const StoredRow &h : headers())
        EXPECT_TRUE(fileExists(h)) << h["num_doc"].toStdString();
}

INSTANTIATE_TEST_SUITE_P(Failures, ImportBreaks, ::testing::Values(Break::ConnectionKilled, Break::LineRefused),
                         [](const ::testing::TestParamInfo<Break> &info) {
                             return info.param == Break::ConnectionKilled ? "ConnectionKilled" : "LineRefused";
                         });

// The file of the first invoice cannot be written: the import stops there, the invoice
// keeps its header, all its lines and its totals, and the next run goes past it.
TEST_F(ImportAtomicity, AFailingFileKeepsTheCompleteInvoice)
{
    addThreeInvoices();
    xml->sql().exec(QStringLiteral("UPDATE azienda SET path = ?"), {folder() + QStringLiteral("manca/")});
    diz->AziendaT.refresh();

    EXPECT_FALSE(importError().isEmpty());
    EXPECT_EQ(numbers(), QStringList{"1I"});
    expectWhole(QStringLiteral("1I"), 2);
    EXPECT_TRUE(header(QStringLiteral("1I")).isNull("nome_file"));
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());

    xml->sql().exec(QStringLiteral("UPDATE azienda SET path = ?"), {folder()});
    diz->AziendaT.refresh();
    runImport();
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I"}));
    EXPECT_FALSE(fileExists(header(QStringLiteral("1I"))));
    EXPECT_TRUE(fileExists(header(QStringLiteral("2I"))));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 8);
}

// The next source document is read while an invoice's file goes to the disk. When that
// read fails (the management database's connection is cut), the invoice is committed
// with its file all the same, the run stops with the error, and the next run brings the rest.
TEST_F(ImportAtomicity, ALostSourceWhileAFileIsWrittenKeepsThatInvoiceWithItsFile)
{
    addThreeInvoices();
    failAtLine(2, [] { norva->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(diz->Dati.threadId())); });

    EXPECT_FALSE(importError().isEmpty());
    EXPECT_EQ(numbers(), QStringList{"1I"});
    expectWhole(QStringLiteral("1I"), 2);
    EXPECT_TRUE(fileExists(header(QStringLiteral("1I"))));

    diz->Detta.setNewRecordHook(nullptr);
    runImport();
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I"}));
    expectWhole(QStringLiteral("2I"), 5);
    for (const StoredRow &h : headers())
        EXPECT_TRUE(fileExists(h)) << h["num_doc"].toStdString();
}

} // namespace
