// The pick of a warehouse article as a new line of the current invoice, with the
// invoice's totals rebuilt in the same transaction.
#include "ui/screens/registries/articoli.h"
#include "registry_fixture.h"

#include <QLineEdit>

namespace {

const QString ArticlesAndInvoices = QStringLiteral(
    "INSERT INTO magazzino (codice_val, codice_tipo, descrizione, um, prezzo_unit, sc_tipo, sc_perc, sc_importo, "
    "prezzo_tot, aliquota, costo_unit) VALUES "
    "('A-1', 'INTERNO', 'ARTICOLO UNO', 'PZ', '1.234,500', NULL, NULL, NULL, '1.234,500', '22', '900,000'), "
    "('B-2', 'INTERNO', 'ARTICOLO DUE', 'KG', '10,000', 'SC', '10,0', '1,00', '9,000', '10', NULL), "
    "('C-3', NULL, 'ARTICOLO TRE', 'PZ', '5,000', '', '', '', '5,000', '4', NULL), "
    "('X-9', NULL, 'GUASTO', 'PZ', '1,000', NULL, NULL, NULL, 'abc', '22', NULL);\n"
    "INSERT INTO testata (num_doc, spese, spese2) VALUES ('1', '0,00', '0,00');\n"
    "INSERT INTO testata (num_doc, spese, spese2, aliquota, imponibile, imposta, tot_doc) "
    "VALUES ('2', '0,00', '0,00', '22', '100,00', '22,00', '122,00');\n"
    "INSERT INTO dettaglio (id_invio, prog, quantita, prezzo_tot, aliquota) "
    "SELECT id_invio, 7, '1', '100,00', '22' FROM testata WHERE num_doc = '2'");

class ArticlePick : public RegistryFixture {
protected:
    std::unique_ptr<TArticoli> screen;

    void open(const QString &setupSql = ArticlesAndInvoices)
    {
        openWith(setupSql);
        screen = std::make_unique<TArticoli>(*diz);
    }
    // Opens the screen from the workspace on invoice `numDoc` and picks the article `code`.
    void pick(const QString &numDoc, const QString &code)
    {
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("num_doc"), numDoc));
        pick(code);
    }
    void pick(const QString &code)
    {
        showWorkspace();
        showActive(*screen);
        doubleClickLine(*screen->list, 0, code);
    }
    QString invoice(const QString &numDoc, const QString &columns)
    {
        return value(QStringLiteral("SELECT CONCAT_WS('|', %1) FROM testata WHERE num_doc = '%2'").arg(columns, numDoc));
    }
    QStringList lines(const QString &numDoc, const QString &columns)
    {
        return column(QStringLiteral("SELECT CONCAT_WS('|', %1) FROM dettaglio "
                                     "WHERE id_invio = (SELECT id_invio FROM testata WHERE num_doc = '%2') ORDER BY prog")
                          .arg(columns, numDoc));
    }
};

const QString EveryLineColumn = QStringLiteral(
    "prog, IFNULL(codice_tipo, '-'), IFNULL(codice_val, '-'), IFNULL(descrizione, '-'), IFNULL(quantita, '-'), "
    "IFNULL(um, '-'), IFNULL(prezzo_unit, '-'), IFNULL(sc_tipo, '-'), IFNULL(sc_perc, '-'), IFNULL(sc_importo, '-'), "
    "IFNULL(prezzo_tot, '-'), IFNULL(aliquota, '-'), IFNULL(tipo_cessione, '-'), IFNULL(ritenuta, '-'), "
    "IFNULL(natura, '-'), IFNULL(rif_amm, '-'), IFNULL(categoria, '-'), IFNULL(lotto, '-'), IFNULL(origine, '-')");

TEST_F(ArticlePick, APickFromTheMainMenuDoesNothing)
{
    open();
    showActive(*screen);
    doubleClickLine(*screen->list, 0, QStringLiteral("A-1"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), QStringLiteral("1"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
}

TEST_F(ArticlePick, AGroupedPriceBecomesAPlainLineAmountAndTheTotalMatchesTheLine)
{
    open();
    screen->codeSearch->setText(QStringLiteral("A"));
    pick(QStringLiteral("1"), QStringLiteral("A-1"));
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(screen->codeSearch->text(), QString());  // the searches are emptied
    EXPECT_EQ(diz->Articoli.rowCount(), 4);

    EXPECT_EQ(lines(QStringLiteral("1"), EveryLineColumn),
              QStringList{"1|INTERNO|A-1|ARTICOLO UNO|1|PZ|1234,500|-|-|-|1234,500|22|-|-|-|-|-|-|-"});
    EXPECT_EQ(invoice(QStringLiteral("1"), QStringLiteral("aliquota, imponibile, imposta, sc_importo, tot_doc")),
              QStringLiteral("22|1234,50|271,59|0,00|1506,09"));
    // The workspace shows the new line as the current one, and the invoice as stored.
    EXPECT_EQ(diz->Detta.text(QStringLiteral("prezzo_tot")), QStringLiteral("1234,500"));
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("1506,09"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
}

TEST_F(ArticlePick, TheNewLineIsNumberedAfterTheLastAndEveryBucketIsRebuilt)
{
    open();
    pick(QStringLiteral("2"), QStringLiteral("B-2"));
    pick(QStringLiteral("C-3"));
    EXPECT_EQ(lines(QStringLiteral("2"), EveryLineColumn),
              (QStringList{"7|-|-|-|1|-|-|-|-|-|100,00|22|-|-|-|-|-|-|-",
                           "8|INTERNO|B-2|ARTICOLO DUE|1|KG|10,000|SC|10,0|1,00|9,000|10|-|-|-|-|-|-|-",
                           "9|-|C-3|ARTICOLO TRE|1|PZ|5,000||||5,000|4|-|-|-|-|-|-|-"}));
    EXPECT_EQ(invoice(QStringLiteral("2"), QStringLiteral("aliquota, imponibile, imposta, aliquota2, imponibile2, imposta2, "
                                                          "aliquota3, imponibile3, imposta3, tot_doc")),
              QStringLiteral("22|100,00|22,00|10|9,00|0,90|4|5,00|0,20|137,10"));
    EXPECT_EQ(diz->Detta.asInteger(QStringLiteral("prog")), 9);
}

TEST_F(ArticlePick, ThreeArticlesAtThreeRatesGiveThreeBuckets)
{
    open();
    for (const QString &code : {QStringLiteral("A-1"), QStringLiteral("B-2"), QStringLiteral("C-3")})
        pick(QStringLiteral("1"), code);
    EXPECT_EQ(lines(QStringLiteral("1"), QStringLiteral("prog, prezzo_tot, aliquota")),
              (QStringList{"1|1234,500|22", "2|9,000|10", "3|5,000|4"}));
    EXPECT_EQ(invoice(QStringLiteral("1"), QStringLiteral("aliquota, imponibile, imposta, aliquota2, imponibile2, imposta2, "
                                                          "aliquota3, imponibile3, imposta3, tot_doc")),
              QStringLiteral("22|1234,50|271,59|10|9,00|0,90|4|5,00|0,20|1521,19"));
}

TEST_F(ArticlePick, AnUnreadableNetPriceRollsThePickBackAndLeavesTheWindowOpen)
{
    open();
    const QString before = invoice(QStringLiteral("2"), QStringLiteral("aliquota, imponibile, imposta, tot_doc"));
    boxes.expectError(QStringLiteral("'abc' is not a valid floating point value"));
    pick(QStringLiteral("2"), QStringLiteral("X-9"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(lines(QStringLiteral("2"), QStringLiteral("prog")), QStringList{"7"});
    EXPECT_EQ(invoice(QStringLiteral("2"), QStringLiteral("aliquota, imponibile, imposta, tot_doc")), before);
    // The table objects hold what the server holds again.
    EXPECT_EQ(diz->Detta.rowCount(), 1);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("imponibile")), QStringLiteral("100,00"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
}

TEST_F(ArticlePick, ANewUnsavedInvoiceIsSavedFirstAndTakesTheLine)
{
    open();
    diz->Testata.append();
    diz->Testata.setText(QStringLiteral("num_doc"), QStringLiteral("3"));
    pick(QStringLiteral("C-3"));
    EXPECT_EQ(lines(QStringLiteral("3"), QStringLiteral("prog, codice_val")), QStringList{"1|C-3"});
    EXPECT_EQ(invoice(QStringLiteral("3"), QStringLiteral("tipo_doc, aliquota, imponibile, tot_doc")),
              QStringLiteral("TD01|4|5,00|5,20"));
}

TEST_F(ArticlePick, WithoutAnyInvoiceNothingIsWritten)
{
    open(ArticlesAndInvoices.section(QStringLiteral(";\n"), 0, 0));
    boxes.expectError(QStringLiteral("Testata: Cannot perform this operation on an empty dataset"));
    pick(QStringLiteral("C-3"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), QStringLiteral("0"));
}

} // namespace
