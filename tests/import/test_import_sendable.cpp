// Imported invoices that the exchange system accepts: every imported line is stored as a
// typed line would be (gross price and one discount, or the net price), so that its file
// meets the rule on line totals; every file of the demonstration import passes the
// pre-send check.
#include "import_fixture.h"
#include "checks/presend_check.h"

namespace {

class ImportSendable : public ImportTest {
protected:
    // The pre-send check's refusals of the file of a header (warnings let a file go); empty
    // when it may go out. The check is made on the last day of the demonstration year, so
    // that no document of that year is dated after it (00403).
    QString presendProblems(const StoredRow &h) const
    {
        CheckOptions options;
        options.today = QDate(2026, 12, 31);
        return describeProblems(refusalsOf(checkInvoiceFile(folder() + h["nome_file"], options)));
    }
};

struct SourceLineCase {
    const char *name;
    Columns source;                    // overrides of the source line
    QMap<QString, QVariant> expected;  // columns of the imported line; a null QVariant: NULL
};

// One document per source line, each file checked on its own.
TEST_F(ImportSendable, EachSourceLineIsStoredSoThatItsFilePassesTheCheck)
{
    const std::vector<SourceLineCase> cases{
        {"one discount: gross price and its percentage",
         {{"quantita", 10}, {"pr_lordo", 3.6}, {"sc_1", 10}},
         {{"quantita", "10,00"}, {"prezzo_unit", "3,600"}, {"sc_tipo", "SC"}, {"sc_perc", "10,00"},
          {"sc_importo", "3,60"}, {"prezzo_tot", "32,400"}}},
        {"three discounts met by their combined percentage",
         {{"quantita", 4}, {"pr_lordo", 10}, {"sc_1", 10}, {"sc_2", 5}, {"sc_3", 2}},
         {{"prezzo_unit", "10,000"}, {"sc_tipo", "SC"}, {"sc_perc", "16,21"}, {"sc_importo", "6,48"},
          {"prezzo_tot", "33,516"}}},
        {"three discounts whose percentage of two decimals misses by 5 cents: net price",
         {{"quantita", 10}, {"pr_lordo", 100}, {"sc_1", 10}, {"sc_2", 5}, {"sc_3", 3}},
         {{"prezzo_unit", "82,935"}, {"sc_tipo", QVariant()}, {"sc_perc", QVariant()}, {"sc_importo", QVariant()},
          {"prezzo_tot", "829,350"}}},
        {"a discount on a price of eight decimals cannot be met: net price of four decimals",
         {{"quantita", 1000}, {"pr_lordo", 1.23456789}, {"sc_1", 10}},
         {{"prezzo_unit", "1,1111"}, {"sc_tipo", QVariant()}, {"sc_perc", QVariant()}, {"sc_importo", QVariant()},
          {"prezzo_tot", "1111,100"}}},
        {"no discount",
         {{"quantita", 2}, {"pr_lordo", 12.5}},
         {{"quantita", "2,00"}, {"prezzo_unit", "12,500"}, {"sc_tipo", QVariant()}, {"sc_perc", QVariant()},
          {"sc_importo", QVariant()}, {"prezzo_tot", "25,000"}}},
        {"no discount, a price of four decimals",
         {{"quantita", 100}, {"pr_lordo", 1.23456}},
         {{"prezzo_unit", "1,2346"}, {"sc_tipo", QVariant()}, {"prezzo_tot", "123,460"}}},
        {"packages (CL) with a discount",
         {{"um", "CL"}, {"colli", 3}, {"quantita", 36}, {"pr_lordo", 10}, {"sc_1", 10}},
         {{"quantita", "3,00"}, {"um", "CL"}, {"prezzo_unit", "10,000"}, {"sc_tipo", "SC"}, {"sc_perc", "10,00"},
          {"sc_importo", "3,00"}, {"prezzo_tot", "27,000"}}},
        {"a quantity of three decimals stored with two: the total per unit",
         {{"quantita", 1.255}, {"pr_lordo", 14.5}},
         {{"quantita", "1,25"}, {"prezzo_unit", "14,5576"}, {"sc_tipo", QVariant()}, {"prezzo_tot", "18,197"}}},
        {"a surcharge in the second discount: a mark-up",
         {{"quantita", 2}, {"pr_lordo", 10}, {"sc_2", -10}},
         {{"prezzo_unit", "10,000"}, {"sc_tipo", "MG"}, {"sc_perc", "10,00"}, {"sc_importo", "2,00"},
          {"prezzo_tot", "22,000"}}},
    };
    for (const SourceLineCase &c : cases)
        addLine(addDocument(), c.source);
    EXPECT_EQ(importError(), QString());

    const QList<StoredRow> h = headers();
    ASSERT_EQ(h.size(), int(cases.size()));
    for (int i = 0; i < h.size(); ++i) {
        const SourceLineCase &c = cases[size_t(i)];
        SCOPED_TRACE(c.name);
        const QList<StoredRow> lines = linesOf(h[i].id());
        ASSERT_EQ(lines.size(), 1);
        for (auto it = c.expected.begin(); it != c.expected.end(); ++it) {
            const QByteArray col = it.key().toLatin1();
            if (it.value().isNull())
                EXPECT_TRUE(lines[0].isNull(col.constData())) << col.constData() << ": " << lines[0][col.constData()].toStdString();
            else
                EXPECT_EQ(lines[0][col.constData()], it.value().toString()) << col.constData();
        }
        ASSERT_TRUE(fileExists(h[i]));
        EXPECT_EQ(presendProblems(h[i]), QString());
    }
}

// A goods line of quantity 0 with a price: the file carries no Quantita, so that the rule
// counts one unit; its unit price is its total, 0.
TEST_F(ImportSendable, ALineOfQuantityZeroGetsTheUnitPriceOfItsTotal)
{
    const int prot = addDocument();
    addLine(prot);
    addLine(prot, {{"quantita", 0}, {"pr_lordo", 5}, {"sc_1", 10}});
    EXPECT_EQ(importError(), QString());
    const StoredRow h = header(QStringLiteral("1I"));
    const QList<StoredRow> lines = linesOf(h.id());
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1]["quantita"], "0,00");
    EXPECT_EQ(lines[1]["prezzo_unit"], "0,0000");
    EXPECT_EQ(lines[1]["prezzo_tot"], "0,000");
    EXPECT_TRUE(lines[1].isNull("sc_tipo"));
    ASSERT_TRUE(fileExists(h));
    EXPECT_EQ(presendProblems(h), QString());
}

// The demonstration data: five of its eight documents gave files that the exchange system
// refuses (discounted lines, a postcode of four digits in Zurich).
TEST_F(ImportSendable, EveryFileOfTheDemonstrationImportPassesThePresendCheck)
{
    norva->load(QStringLiteral("demo_norva26.sql"));
    EXPECT_EQ(importError(QStringLiteral("A"), QStringLiteral("31/12/26")), QString());
    const QList<StoredRow> h = headers();
    QStringList numbers;
    for (const StoredRow &row : h)
        numbers << row["num_doc"];
    EXPECT_EQ(numbers, (QStringList{"1I", "2D", "FI 1", "1", "3I", "NI 1", "4I", "5I"}));
    for (const StoredRow &row : h) {
        SCOPED_TRACE(row["num_doc"].toStdString());
        ASSERT_TRUE(fileExists(row));
        // A public administration's document (six-character recipient code) is written in
        // its own format, FPA12.
        QFile written(folder() + row["nome_file"]);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const QByteArray format = row["cod_dest"].size() == 6 ? "FPA12" : "FPR12";
        EXPECT_TRUE(written.readAll().contains("<FormatoTrasmissione>" + format + "</FormatoTrasmissione>")) << format.constData();
        EXPECT_EQ(presendProblems(row), QString());
    }

    // The cartons of water at 10 % off: the gross price and the discount, as typed.
    const QList<StoredRow> fv1 = linesOf(header(QStringLiteral("1I")).id());
    ASSERT_EQ(fv1.size(), 3);
    EXPECT_EQ(fv1[1]["prezzo_unit"], "3,600");
    EXPECT_EQ(fv1[1]["sc_perc"], "10,00");
    EXPECT_EQ(fv1[1]["prezzo_tot"], "32,400");
    // 10 % and 5 % off 5,00: 14,50 % of the gross price.
    EXPECT_EQ(fv1[2]["prezzo_unit"], "5,000");
    EXPECT_EQ(fv1[2]["sc_perc"], "14,50");
    EXPECT_EQ(fv1[2]["sc_importo"], "17,40");
    EXPECT_EQ(fv1[2]["prezzo_tot"], "102,600");

    // The buyer in Zurich: CAP 00000 and the real postcode after the street.
    QFile file(folder() + header(QStringLiteral("NI 1"))["nome_file"]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("<Indirizzo>Bahnhofstrasse 45 8001</Indirizzo>\r\n<CAP>00000</CAP>\r\n<Comune>Zurich</Comune>"));
}

} // namespace
