// The totals and VAT summary of an invoice (CalcolaTotali) against the test server:
// what ends up stored in the header, the order of the VAT buckets, the header discount
// and expenses, the failures that stop the run, and the refusals of incomplete totals.
#include "data/app_error.h"
#include "data/db_transaction.h"
#include "invoice/calcola_totali.h"
#include "data_module_fixture.h"
#include "invoice/testata_hooks.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

// One invoice line; nullptr stores NULL.
struct Line {
    const char *quantita;
    const char *aliquota;
    const char *prezzoTot;
    const char *tipoCessione = "";
};

using Columns = std::map<QString, QString>;

const QString Null = QStringLiteral("<NULL>");

QVariant orNull(const char *text) { return text ? QVariant(QString::fromUtf8(text)) : QVariant(); }

// The twelve columns that every run empties first, all empty.
Columns emptyBuckets()
{
    Columns c;
    for (const char *suffix : {"", "2", "3", "4"})
        for (const char *name : {"aliquota", "imponibile", "imposta"})
            c[QString::fromLatin1(name) + QString::fromLatin1(suffix)] = QString();
    return c;
}

Columns with(Columns base, const Columns &changes)
{
    for (const auto &[k, v] : changes)
        base[k] = v;
    return base;
}

class Totals : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    TDiz diz;
    int id = 0;

    void SetUp() override
    {
        installTestataHooks(diz);
        clearTables();
    }

    static void clearTables() { ScratchDatabaseTest::clearTables({"testata", "dettaglio"}); }

    // Stores a header with the given columns and its lines, and opens the data module
    // with that header current.
    void invoice(const std::vector<Line> &lines, const Columns &header = {})
    {
        QStringList names, marks;
        QVariantList values;
        for (const auto &[k, v] : header) {
            names << k;
            marks << QStringLiteral("?");
            values << (v == Null ? QVariant() : QVariant(v));
        }
        db->sql().exec(QStringLiteral("INSERT INTO testata (%1) VALUES (%2)").arg(names.join(u','), marks.join(u',')),
                       values);
        id = int(db->sql().lastInsertId());
        int prog = 0;
        for (const Line &l : lines)
            db->sql().exec(QStringLiteral("INSERT INTO dettaglio (id_invio, prog, quantita, aliquota, prezzo_tot, "
                                          "tipo_cessione) VALUES (?, ?, ?, ?, ?, ?)"),
                           {id, ++prog, orNull(l.quantita), orNull(l.aliquota), orNull(l.prezzoTot),
                            orNull(l.tipoCessione)});
        if (diz.Testata.isOpen())
            diz.Testata.refresh();
        else
            openDataModuleOn(diz);
        ASSERT_TRUE(diz.Testata.locate(QStringLiteral("id_invio"), id));
    }

    // The header columns as stored on the server (NULL shown as <NULL>).
    Columns stored(const Columns &wanted)
    {
        QStringList names;
        for (const auto &[k, v] : wanted)
            names << k;
        const DbResult r = db->sql().select(
            QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ?").arg(names.join(u',')), {id});
        Columns out;
        for (int i = 0; i < names.size(); ++i)
            out[names[i]] = r.rows.at(0).isNull(i) ? Null : QString::fromUtf8(r.rows.at(0).raw(i));
        return out;
    }

    void expectStored(const Columns &expected) { EXPECT_EQ(stored(expected), expected); }

    // Runs CalcolaTotali expecting an error, and returns its text.
    QString failure()
    {
        try {
            CalcolaTotali(diz);
        } catch (const AppError &e) {
            return e.text();
        }
        ADD_FAILURE() << "CalcolaTotali raised no error";
        return {};
    }
};

const std::vector<Line> ExampleLines{{"1,00", "22", "100,00"}, {"1,00", "22", "50,00"}, {"1,00", "22", "10,00", "SC"}};

TEST_F(Totals, ExampleInvoiceWithFreeGoodsAndNoHeaderDiscount)
{
    invoice(ExampleLines, {{"spese", "0,00"}, {"spese2", "0,00"}});
    CalcolaTotali(diz);
    expectStored(with(emptyBuckets(), {{"aliquota", "22"},
                                       {"imponibile", "150,00"},
                                       {"imposta", "35,20"},
                                       {"tot_omaggio", "10,00"},
                                       {"tot_omaggio2", Null},
                                       {"tot_omaggio3", Null},
                                       {"sc_importo", "0,00"},
                                       {"tot_doc", "185,20"}}));
}

struct HeaderDiscountCase {
    const char *scTipo;
    const char *scPerc;
    const char *scImporto;
    const char *totDoc;
};

class HeaderDiscount : public Totals, public ::testing::WithParamInterface<HeaderDiscountCase> {};

TEST_P(HeaderDiscount, ChangesOnlyTheDiscountAmountAndTheTotal)
{
    const HeaderDiscountCase &c = GetParam();
    invoice(ExampleLines, {{"sc_tipo", c.scTipo}, {"sc_perc", c.scPerc}});
    CalcolaTotali(diz);
    expectStored(with(emptyBuckets(), {{"aliquota", "22"},
                                       {"imponibile", "150,00"},
                                       {"imposta", "35,20"},
                                       {"tot_omaggio", "10,00"},
                                       {"sc_importo", c.scImporto},
                                       {"tot_doc", c.totDoc}}));
}

INSTANTIATE_TEST_SUITE_P(Totals, HeaderDiscount,
                         ::testing::Values(HeaderDiscountCase{"SC", "10", "15,00", "166,90"},
                                           HeaderDiscountCase{"MG", "10", "15,00", "203,50"},
                                           HeaderDiscountCase{"SC", "2,5", "3,75", "180,63"},
                                           HeaderDiscountCase{"SC", "0", "0,00", "185,20"},
                                           HeaderDiscountCase{"SC", "-5", "0,00", "185,20"},
                                           HeaderDiscountCase{"SC", "abc", "0,00", "185,20"},
                                           HeaderDiscountCase{"", "10", "0,00", "185,20"},
                                           HeaderDiscountCase{"sc", "10", "0,00", "185,20"}));

TEST_F(Totals, ExpensesAndHeaderDiscountCarryTheVatOfTheirBuckets)
{
    // Expenses of bucket 1 at 22 %, of bucket 2 at 10 %; spese3 is ignored.
    invoice({{"1,00", "22", "100,00"}, {"1,00", "10", "50,00"}},
            {{"spese", "10,00"}, {"spese2", "5,00"}, {"spese3", "100,00"}, {"sc_tipo", "SC"}, {"sc_perc", "10"}});
    CalcolaTotali(diz);
    // 100 + 50 + 22 + 5 + 10 × 1,22 + 5 × 1,10 − (10 × 1,22 + 5 × 1,10)
    expectStored(with(emptyBuckets(), {{"aliquota", "22"},
                                       {"imponibile", "100,00"},
                                       {"imposta", "22,00"},
                                       {"aliquota2", "10"},
                                       {"imponibile2", "50,00"},
                                       {"imposta2", "5,00"},
                                       {"sc_importo", "15,00"},
                                       {"tot_doc", "177,00"}}));
}

TEST_F(Totals, InvoiceWithoutCountedLinesEmptiesTheSummaryAndTotalsTheExpenses)
{
    const Columns previous{{"aliquota", "22"},     {"imponibile", "1,00"},  {"imposta", "0,22"}, {"aliquota2", "10"},
                           {"imponibile2", "2,00"}, {"imposta2", "0,20"},    {"aliquota4", "4"},   {"imposta4", "9,99"},
                           {"tot_omaggio", "7,00"}, {"sc_importo", "3,00"}, {"tot_doc", "99,00"}};
    // Reference and text rows carry quantity 0,00; a negative quantity does not count either.
    invoice({{"0,00", "", ""}, {"0,00", "22", "100,00"}, {"-1,00", "22", "50,00"}},
            with(previous, {{"spese", "6,00"}, {"spese2", "4,00"}}));
    CalcolaTotali(diz);
    expectStored(with(emptyBuckets(), {{"tot_omaggio", "7,00"}, {"sc_importo", "0,00"}, {"tot_doc", "10,00"}}));
}

TEST_F(Totals, BucketsFollowTheFirstAppearanceOfEachRateAmongCountedLines)
{
    struct {
        std::vector<Line> lines;
        Columns rates;
    } cases[] = {
        {{{"0,00", "4", "1,00"}, {"1,00", "10", "1,00"}, {"1,00", "22", "1,00"}, {"1,00", "10", "1,00"}},
         {{"aliquota", "10"}, {"aliquota2", "22"}, {"aliquota3", ""}, {"aliquota4", ""}}},
        {{{"1,00", "22", "1,00"}, {"1,00", "10", "1,00"}},
         {{"aliquota", "22"}, {"aliquota2", "10"}, {"aliquota3", ""}, {"aliquota4", ""}}},
        // Rates are compared as texts.
        {{{"1,00", "22", "1,00"}, {"1,00", "22,00", "1,00"}, {"1,00", "5,5", "1,00"}, {"1,00", "0", "1,00"}},
         {{"aliquota", "22"}, {"aliquota2", "22,00"}, {"aliquota3", "5,5"}, {"aliquota4", "0"}}},
    };
    for (const auto &c : cases) {
        clearTables();
        invoice(c.lines);
        CalcolaTotali(diz);
        expectStored(c.rates);
    }
}

TEST_F(Totals, FourthBucketCountsFreeGoodsAsTaxable)
{
    invoice({{"1,00", "22", "100,00"},
             {"1,00", "10", "100,00"},
             {"1,00", "4", "100,00"},
             {"1,00", "5", "100,00"},
             {"1,00", "5", "20,00", "SC"}});
    CalcolaTotali(diz);
    expectStored({{"aliquota4", "5"},
                  {"imponibile4", "120,00"},
                  {"imposta4", "6,00"},
                  {"tot_omaggio", "0,00"},
                  {"tot_omaggio3", "0,00"},
                  {"tot_doc", "462,00"}});
}

TEST_F(Totals, FreeGoodsKindsAndABucketOfFreeGoodsOnly)
{
    // "AB" and "PR" are free goods like "SC"; "AC" and empty are ordinary lines.
    invoice({{"1,00", "10", "5,00", "AB"},
             {"1,00", "10", "3,00", "PR"},
             {"1,00", "22", "100,00", "AC"},
             {"1,00", "22", "10,00", nullptr}});
    CalcolaTotali(diz);
    expectStored(with(emptyBuckets(), {{"aliquota", "10"},
                                       {"imponibile", "0,00"},
                                       {"imposta", "0,80"},
                                       {"tot_omaggio", "8,00"},
                                       {"aliquota2", "22"},
                                       {"imponibile2", "110,00"},
                                       {"imposta2", "24,20"},
                                       {"tot_omaggio2", "0,00"},
                                       {"tot_doc", "135,00"}}));
}

TEST_F(Totals, BucketWithNegativeSumStaysEmptyButItsSumEntersTheTotal)
{
    invoice({{"1,00", "22", "100,00"}, {"1,00", "10", "-30,00"}}, {{"sc_tipo", "SC"}, {"sc_perc", "10"}});
    CalcolaTotali(diz);
    // Goods 100 − 30, VAT 22 only; discount 10 + (−3) with VAT 12,20 − 3,30.
    expectStored(with(emptyBuckets(), {{"aliquota", "22"},
                                       {"imponibile", "100,00"},
                                       {"imposta", "22,00"},
                                       {"aliquota2", "10"},
                                       {"tot_omaggio2", Null},
                                       {"sc_importo", "7,00"},
                                       {"tot_doc", "83,10"}}));
}

TEST_F(Totals, RunningTwiceGivesTheSameResult)
{
    invoice({{"2,00", "22", "31,11"}, {"1,00", "10", "7,77", "SC"}, {"3,00", "4", "12,34"}, {"1,00", "22", "0,01"}},
            {{"spese", "1,50"}, {"sc_tipo", "MG"}, {"sc_perc", "3"}});
    const Columns all = with(emptyBuckets(), {{"tot_omaggio", ""}, {"tot_omaggio2", ""}, {"tot_omaggio3", ""},
                                              {"sc_importo", ""}, {"tot_doc", ""}});
    CalcolaTotali(diz);
    const Columns first = stored(all);
    CalcolaTotali(diz);
    EXPECT_EQ(stored(all), first);
    EXPECT_EQ(first.at(QStringLiteral("tot_doc")), QStringLiteral("54,93"));
}

TEST_F(Totals, FreeGoodsColumnKeepsThePreviousRunWhenItsBucketEmpties)
{
    invoice({{"1,00", "22", "100,00"}, {"1,00", "22", "10,00", "SC"}});
    CalcolaTotali(diz);
    expectStored({{"tot_omaggio", "10,00"}});
    while (!diz.Detta.isEmpty())
        diz.Detta.remove();
    CalcolaTotali(diz);
    expectStored(with(emptyBuckets(), {{"tot_omaggio", "10,00"}, {"tot_doc", "0,00"}}));
}

TEST_F(Totals, SavesPendingHeaderChangesAndLeavesTheCurrentLineWhereItWas)
{
    invoice(ExampleLines);
    diz.Testata.setText(QStringLiteral("num_doc"), QStringLiteral("17/A"));
    diz.Detta.moveTo(1);
    CalcolaTotali(diz);
    EXPECT_EQ(diz.Testata.state(), DbTable::State::Browse);
    EXPECT_FALSE(diz.Detta.eof());
    EXPECT_EQ(diz.Detta.currentIndex(), 1);
    expectStored({{"num_doc", "17/A"}, {"tot_doc", "185,20"}});
    EXPECT_EQ(diz.Testata.text(QStringLiteral("tot_doc")), QStringLiteral("185,20"));
}

// Amounts are exact decimals: single precision would give 1523455,75 and a tax
// of 0,11 on 1,15 at 10 %.
TEST_F(Totals, AmountsAreExact)
{
    invoice({{"1,00", "22", "1523455,678"}, {"1,00", "10", "1,15"}});
    CalcolaTotali(diz);
    expectStored({{"imponibile", "1523455,68"},
                  {"imposta", "335160,25"},
                  {"imponibile2", "1,15"},
                  {"imposta2", "0,12"},
                  {"tot_doc", "1858617,19"}});
}

struct StopCase {
    const char *what;
    std::vector<Line> lines;
    const char *message;
    const char *rate3;  // assigned before the failing read
};

void PrintTo(const StopCase &c, std::ostream *os) { *os << c.what; }

class StoppingLine : public Totals, public ::testing::WithParamInterface<StopCase> {};

// The run stops at the failing line: the emptied summary and the rates assigned so far
// stay stored, the amounts of the previous run are not rewritten.
TEST_P(StoppingLine, StopsWithTheConversionErrorAndKeepsWhatWasPosted)
{
    const StopCase &c = GetParam();
    invoice(c.lines, {{"imponibile", "1,00"}, {"imposta", "0,22"}, {"aliquota3", "4"}, {"tot_doc", "99,00"}});
    try {
        CalcolaTotali(diz);
        ADD_FAILURE() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_EQ(e.text(), QString::fromUtf8(c.message));
    }
    EXPECT_EQ(diz.Testata.state(), DbTable::State::Browse);
    expectStored(with(emptyBuckets(),
                      {{"aliquota", "22"}, {"aliquota2", "10"}, {"aliquota3", c.rate3}, {"tot_doc", "99,00"}}));
}

INSTANTIATE_TEST_SUITE_P(
    Totals, StoppingLine,
    ::testing::Values(
        StopCase{"quantity not a number",
                 {{"1,00", "22", "100,00"}, {"1,00", "10", "5,00"}, {"abc", "4", "1,00"}, {"1,00", "5", "1,00"}},
                 "'abc' is not a valid floating point value", ""},
        StopCase{"quantity NULL", {{"1,00", "22", "100,00"}, {"1,00", "10", "5,00"}, {nullptr, "4", "1,00"}},
                 "'' is not a valid floating point value", ""},
        StopCase{"total with a thousands separator", {{"1,00", "22", "100,00"}, {"1,00", "10", "1.234,50"}},
                 "'1.234,50' is not a valid floating point value", ""},
        StopCase{"free goods at a rate that is not a number",
                 {{"1,00", "22", "100,00"}, {"1,00", "10", "5,00"}, {"1,00", "10", "5,00"}, {"1,00", "4%", "1,00", "PR"}},
                 "'4%' is not a valid floating point value", "4%"}),
    [](const ::testing::TestParamInfo<StopCase> &info) { return "case" + std::to_string(info.index); });

// An amount too long for its 12-character column is refused rather than cut: none of
// the amounts is stored.
TEST_F(Totals, AmountTooLongForItsColumnIsAnError)
{
    struct {
        const char *prezzoTot;
        const char *column;
    } cases[] = {{"99999999999", "imponibile"}, {"999999999,99", "tot_doc"}};
    for (const auto &c : cases) {
        clearTables();
        invoice({{"1,00", "22", c.prezzoTot}}, {{"tot_doc", "99,00"}});
        const QString text = failure();
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.column))) << text.toStdString();
        EXPECT_EQ(diz.Testata.state(), DbTable::State::Browse);
        expectStored(with(emptyBuckets(), {{"aliquota", "22"}, {"tot_doc", "99,00"}}));
    }
}

// Numbers far outside a business's range stop the run with the column and the text,
// wherever they are read: never counted as 0, never an overflow of the arithmetic.
TEST_F(Totals, NumbersOutOfTheRangeAreRefusedWithTheirColumn)
{
    const struct {
        const char *what;
        Line line;
        Columns header;
        const char *message;
    } cases[] = {
        {"quantity lost to zero", {"1e-40", "22", "100,00"}, {}, "Importo troppo piccolo per quantita: 1e-40"},
        {"quantity of 10^38", {"1E38", "22", "100,00"}, {}, "Importo troppo grande per quantita: 1E38"},
        {"line amount of 10^38", {"1,00", "22", "1E38"}, {}, "Importo troppo grande per prezzo_tot: 1E38"},
        {"free goods at a rate of 10^99", {"1,00", "1E99", "5,00", "AB"}, {}, "Importo troppo grande per aliquota: 1E99"},
        {"rate lost to zero", {"1,00", "1e-40", "100,00"}, {}, "Importo troppo piccolo per aliquota: 1e-40"},
        {"expenses of 10^38", {"1,00", "22", "100,00"}, {{"spese", "1E38"}}, "Importo troppo grande per spese: 1E38"},
        {"second expenses of 10^15", {"1,00", "22", "100,00"}, {{"spese2", "1E15"}}, "Importo troppo grande per spese2: 1E15"},
        {"header percentage of 9 × 10^99", {"1,00", "22", "100,00"}, {{"sc_tipo", "SC"}, {"sc_perc", "9E99"}},
         "Importo troppo grande per sc_perc: 9E99"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        clearTables();
        invoice({c.line}, with({{"tot_doc", "99,00"}}, c.header));
        EXPECT_EQ(failure(), QString::fromUtf8(c.message));
        EXPECT_EQ(diz.Testata.state(), DbTable::State::Browse);
        EXPECT_EQ(stored({{"tot_doc", ""}}), (Columns{{"tot_doc", "99,00"}}));
    }
    // Header inputs that are not numbers still count as 0.
    clearTables();
    invoice({{"1,00", "22", "100,00"}}, {{"spese", "dieci"}, {"sc_tipo", "SC"}, {"sc_perc", "x"}});
    EXPECT_NO_THROW(CalcolaTotali(diz));
    expectStored({{"tot_doc", "122,00"}, {"sc_importo", "0,00"}});
}

TEST_F(Totals, CountedLineWithoutBucketIsReportedAfterStoringTheRest)
{
    const Line r22{"1,00", "22", "100,00"}, r10{"1,00", "10", "100,00"}, r4{"1,00", "4", "100,00"},
        r5{"1,00", "5", "100,00"};
    struct {
        std::vector<Line> lines;
        const char *message;  // "" when no error is expected
    } cases[] = {
        {{r22, r10, r4, r5, {"1,00", "0", "50,00"}, {"2,00", "0", "1,00"}}, "Aliquota IVA non riepilogata: 0"},
        // An empty rate never takes a bucket.
        {{r22, {"1,00", "", "7,00"}, r10, r4, r5}, "Aliquota IVA non riepilogata: \"\""},
        {{r22, {"1,00", nullptr, "7,00"}, r10, r4, r5, {"1,00", "0", "-1,00"}, {"1,00", "", "7,00"}},
         "Aliquota IVA non riepilogata: \"\", 0"},
        // Lines that add nothing leave the totals complete.
        {{r22, {"1,00", "", "0,000"}, r10, r4, r5, {"1,00", "0", "0,00"}, {"0,00", "", "7,00"}}, ""},
    };
    for (const auto &c : cases) {
        clearTables();
        invoice(c.lines);
        if (*c.message)
            EXPECT_EQ(failure(), QString::fromUtf8(c.message));
        else
            EXPECT_NO_THROW(CalcolaTotali(diz));
        expectStored({{"aliquota", "22"},
                      {"aliquota2", "10"},
                      {"aliquota3", "4"},
                      {"aliquota4", "5"},
                      {"imponibile4", "100,00"},
                      {"tot_doc", "441,00"}});
    }
}

// An invoice made inside an open transaction (as the import makes them): its totals,
// read back in one locking read and stored in one UPDATE, are exactly those CalcolaTotali
// stores for the same rows, and the held header shows them as stored.
TEST_F(Totals, AnInvoiceMadeInTheOpenTransactionGetsTheTotalsCalcolaTotaliStores)
{
    struct {
        std::vector<Line> lines;
        Columns header;
    } cases[] = {
        {ExampleLines, {{"spese", "0,00"}, {"spese2", "0,00"}}},
        {{{"1,00", "22", "100,00"}, {"1,00", "10", "50,00"}},
         {{"spese", "10,00"}, {"spese2", "5,00"}, {"sc_tipo", "SC"}, {"sc_perc", "10"}}},
        // Buckets by first appearance, a line not counted, free goods of the fourth kind.
        {{{"0,00", "4", "1,00"}, {"2,00", "10", "7,35"}, {"1,00", "4", "3,10"}, {"1,00", "22", "5,00", "AB"}}, {}},
        {{}, {{"spese", "6,00"}}},
    };
    Columns all = emptyBuckets();
    for (const char *name : {"tot_omaggio", "tot_omaggio2", "tot_omaggio3", "sc_importo", "tot_doc"})
        all[QString::fromLatin1(name)] = QString();

    openDataModuleOn(diz);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lines.size());
        {
            DbTransaction tx(diz.xml_conn, {&diz.Detta, &diz.Testata});
            diz.Testata.append();
            for (const auto &[k, v] : c.header)
                diz.Testata.setText(k, v);
            diz.Testata.post();
            id = diz.Testata.asInteger(QStringLiteral("id_invio"));
            EXPECT_TRUE(diz.Detta.isEmpty());
            int prog = 0;
            for (const Line &l : c.lines) {
                diz.Detta.append();
                diz.Detta.setValue(QStringLiteral("id_invio"), id);
                diz.Detta.setValue(QStringLiteral("prog"), ++prog);
                diz.Detta.setValue(QStringLiteral("quantita"), orNull(l.quantita));
                diz.Detta.setValue(QStringLiteral("aliquota"), orNull(l.aliquota));
                diz.Detta.setValue(QStringLiteral("prezzo_tot"), orNull(l.prezzoTot));
                diz.Detta.setValue(QStringLiteral("tipo_cessione"), orNull(l.tipoCessione));
                diz.Detta.post();
            }
            CalcolaTotaliNewInvoice(diz);
            EXPECT_EQ(diz.Testata.state(), DbTable::State::Browse);
            tx.commit();
        }
        const Columns made = stored(all);
        for (const auto &[k, v] : made)
            EXPECT_EQ(diz.Testata.isNull(k) ? Null : diz.Testata.text(k), v) << qPrintable(k);
        CalcolaTotali(diz);
        EXPECT_EQ(stored(all), made);
    }
}

// A failure leaves the rollback to the caller: nothing of the invoice stays.
TEST_F(Totals, AStoppedRunOfAnInvoiceMadeInTheOpenTransactionLeavesItToTheCallersRollback)
{
    openDataModuleOn(diz);
    try {
        DbTransaction tx(diz.xml_conn, {&diz.Detta, &diz.Testata});
        diz.Testata.append();
        diz.Testata.post();
        id = diz.Testata.asInteger(QStringLiteral("id_invio"));
        diz.Detta.append();
        diz.Detta.setValue(QStringLiteral("id_invio"), id);
        diz.Detta.setValue(QStringLiteral("quantita"), QStringLiteral("uno"));
        diz.Detta.setValue(QStringLiteral("aliquota"), QStringLiteral("22"));
        diz.Detta.setValue(QStringLiteral("prezzo_tot"), QStringLiteral("1,00"));
        diz.Detta.post();
        CalcolaTotaliNewInvoice(diz);
        tx.commit();
        ADD_FAILURE() << "the run did not stop";
    } catch (const AppError &) {
    }
    EXPECT_EQ(db->sql().select(QStringLiteral("SELECT COUNT(*) FROM testata")).rows.at(0).raw(0), "0");
    EXPECT_EQ(db->sql().select(QStringLiteral("SELECT COUNT(*) FROM dettaglio")).rows.at(0).raw(0), "0");
    EXPECT_FALSE(diz.Testata.isEditing());
}

} // namespace
