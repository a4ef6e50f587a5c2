// The warehouse-article screen: formatting and price computations on leaving a box,
// the two searches, "Nuovo", showing and closing the window.
#include "invoice/article_prices.h"
#include "ui/screens/registries/articoli.h"
#include "ui/kit/bound_panel.h"
#include "ui/kit/db_navigator.h"
#include "registry_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString SomeArticles = QStringLiteral(
    "INSERT INTO magazzino (codice_val, descrizione, prezzo_unit, prezzo_tot, um) VALUES "
    "('B-200', 'VITE M6', '5', '5', 'PZ'), ('A-100', 'VITE M4', '4,000', '4,000', 'PZ'), "
    "('C-300', 'BULLONE', '3,000', '3,000', 'KG'), (NULL, 'VITE SENZA CODICE', NULL, NULL, NULL), "
    "('D-400', NULL, NULL, NULL, NULL)");

class ArticleScreen : public RegistryFixture {
protected:
    std::unique_ptr<TArticoli> screen;

    void open(const QString &setupSql = SomeArticles)
    {
        openWith(setupSql);
        screen = std::make_unique<TArticoli>(*diz);
        showActive(*screen);
    }
    QStringList codes() { return shown(*screen->list, 0); }
    QString text(const char *column) { return diz->Articoli.text(QString::fromLatin1(column)); }

    // Replaces what the box of `column` holds by `typed`, as the user would, leaving the
    // focus in it.
    void typeInto(const char *column, const QString &typed)
    {
        QWidget *box = screen->box(QString::fromLatin1(column));
        ASSERT_NE(box, nullptr) << column;
        box->setFocus();
        QLineEdit *line = qobject_cast<QLineEdit *>(box);
        if (!line)
            line = qobject_cast<QComboBox *>(box)->lineEdit();
        line->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(line, Qt::Key_Delete);
        else
            QTest::keyClicks(line, typed);
    }
    // Leaves the box that has the focus for another control of the window.
    void leave() { screen->box(QStringLiteral("esistenza"))->setFocus(); }
};

struct PriceCase {
    const char *what;
    bool sale;
    const char *type, *gross, *percent;
    // Expected gross, percentage, discount amount, net price.
    const char *grossText, *percentText, *discountText, *netText;
};

// Type, gross price and percentage typed in this order into a new article, leaving each box.
const PriceCase PriceCases[] = {
    {"discount", true, "SC", "12,5", "10", "12,500", "10,0", "1,25", "11,250"},
    {"surcharge", true, "MG", "12,5", "10", "12,500", "10,0", "1,25", "13,750"},
    {"no type empties amount and percentage", true, "", "12,5", "10", "12,500", "", "", "12,500"},
    {"unknown type counts as none", true, "XX", "12,5", "10", "12,500", "", "", "12,500"},
    {"letters in the gross price", true, "SC", "abc", "10", "0,000", "10,0", "0,00", "0,000"},
    {"a point is a thousands separator", true, "SC", "12.5", "10", "125,000", "10,0", "12,50", "112,500"},
    {"grouped gross is no plain number", true, "SC", "1234,5", "10", "1.234,500", "10,0", "0,00", "1.234,500"},
    {"letters in the sale percentage", true, "SC", "12,5", "xy", "12,500", "", "0,00", "12,500"},
    {"exact half rounds away from zero", true, "SC", "0,105", "50", "0,105", "50,0", "0,05", "0,053"},
    {"exact half of a surcharge", true, "MG", "1,005", "50", "1,005", "50,0", "0,50", "1,508"},
    {"three decimals of the gross price", true, "SC", "2,0005", "0", "2,001", "0,00", "0,00", "2,001"},
    {"purchase discount", false, "SC", "12,5", "10", "12,500", "10,0", "1,25", "11,250"},
    {"letters in the purchase percentage", false, "SC", "12,5", "abc", "12,500", "0,00", "0,00", "12,500"},
    {"empty purchase gross price", false, "MG", "", "10", "0,000", "10,0", "0,00", "0,000"},
};

TEST_F(ArticleScreen, LeavingAPriceOrPercentageBoxFormatsItAndComputesTheNetPrice)
{
    open(QString());
    for (const PriceCase &c : PriceCases) {
        SCOPED_TRACE(c.what);
        const auto &p = c.sale ? ArticlePrices::Sale : ArticlePrices::Cost;
        QTest::mouseClick(screen->nuovoButton, Qt::LeftButton);
        typeInto(p.type, QString::fromLatin1(c.type));
        leave();
        typeInto(p.gross, QString::fromLatin1(c.gross));
        leave();
        typeInto(p.percent, QString::fromLatin1(c.percent));
        leave();
        EXPECT_EQ(text(p.gross), QString::fromLatin1(c.grossText));
        EXPECT_EQ(text(p.percent), QString::fromLatin1(c.percentText));
        EXPECT_EQ(text(p.discount), QString::fromLatin1(c.discountText));
        EXPECT_EQ(text(p.net), QString::fromLatin1(c.netText));
        // The boxes show what the row holds.
        EXPECT_EQ(qobject_cast<QLineEdit *>(screen->box(QString::fromLatin1(p.net)))->text(), QString::fromLatin1(c.netText));
        diz->Articoli.cancel();
    }
}

TEST_F(ArticleScreen, LeavingAPriceBoxOfAStoredArticleEditsItAndClosingTheWindowSavesIt)
{
    open();
    ASSERT_TRUE(diz->Articoli.locate(QStringLiteral("codice_val"), QStringLiteral("B-200")));
    screen->box(QStringLiteral("prezzo_unit"))->setFocus();
    leave();
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Edit);
    EXPECT_EQ(text("prezzo_unit"), QStringLiteral("5,000"));
    EXPECT_EQ(text("prezzo_tot"), QStringLiteral("5,000"));  // percentage NULL: the gross price is copied

    // Passing through a type box of an article that is not being edited changes nothing.
    diz->Articoli.cancel();
    typeInto("sc_tipo", QString());
    screen->box(QStringLiteral("sc_costo_tipo"))->setFocus();
    leave();
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Browse);

    typeInto("descrizione", QStringLiteral("vite m6 zincata"));
    screen->close();
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Browse);
    EXPECT_EQ(value(QStringLiteral("SELECT descrizione FROM magazzino WHERE codice_val = 'B-200'")),
              QStringLiteral("VITE M6 ZINCATA"));
}

TEST_F(ArticleScreen, ClosingTheWindowFromAPriceBoxIsNoLeavingOfTheBox)
{
    open();
    ASSERT_TRUE(diz->Articoli.locate(QStringLiteral("codice_val"), QStringLiteral("B-200")));
    screen->box(QStringLiteral("prezzo_unit"))->setFocus();
    screen->close();
    showActive(*screen);  // the focus goes to the code search box
    EXPECT_EQ(QApplication::focusWidget(), screen->codeSearch);
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Browse);
    ASSERT_TRUE(diz->Articoli.locate(QStringLiteral("codice_val"), QStringLiteral("B-200")));
    EXPECT_EQ(text("prezzo_unit"), QStringLiteral("5"));
}

TEST_F(ArticleScreen, ASaveRefusedOnClosingKeepsTheWindowOpen)
{
    open();
    ASSERT_TRUE(diz->Articoli.locate(QStringLiteral("codice_val"), QStringLiteral("C-300")));
    typeInto("um", QStringLiteral("MT"));
    db->sql().exec(QStringLiteral("ALTER TABLE magazzino ADD CONSTRAINT no_mt CHECK (um <> 'MT')"));
    boxes.expectError();
    screen->close();
    db->sql().exec(QStringLiteral("ALTER TABLE magazzino DROP CONSTRAINT no_mt"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Edit);
    diz->Articoli.cancel();
}

TEST_F(ArticleScreen, BothSearchesListInCodeOrderAndTheLastOneChangedDecides)
{
    open();
    EXPECT_EQ(QApplication::focusWidget(), screen->codeSearch);
    EXPECT_EQ(codes(), (QStringList{"", "A-100", "B-200", "C-300", "D-400"}));  // as the data module read them

    screen->descriptionSearch->setFocus();
    QTest::keyClicks(screen->descriptionSearch, QStringLiteral("vite"));
    EXPECT_EQ(codes(), (QStringList{"", "A-100", "B-200"}));
    EXPECT_EQ(shown(*screen->list, 1), (QStringList{"VITE SENZA CODICE", "VITE M4", "VITE M6"}));

    screen->codeSearch->setFocus();
    QTest::keyClicks(screen->codeSearch, QStringLiteral("-"));
    EXPECT_EQ(codes(), (QStringList{"A-100", "B-200", "C-300", "D-400"}));  // the description box is not combined
    QTest::keyClicks(screen->codeSearch, QStringLiteral("_0"));
    EXPECT_EQ(codes(), (QStringList{"A-100", "B-200", "C-300", "D-400"}));
    QTest::keyClick(screen->codeSearch, Qt::Key_Backspace);
    QTest::keyClicks(screen->codeSearch, QStringLiteral("\\"));
    EXPECT_TRUE(codes().isEmpty());

    // Showing the window again empties the code box (every article with a code), then the
    // description box (every article with a description): that search decides.
    screen->close();
    showActive(*screen);
    EXPECT_EQ(screen->codeSearch->text(), QString());
    EXPECT_EQ(screen->descriptionSearch->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), screen->codeSearch);
    EXPECT_EQ(codes(), (QStringList{"", "A-100", "B-200", "C-300"}));
}

TEST_F(ArticleScreen, QuotesAndBackslashesInEitherSearchAreSearchedAsThemselvesAndChangeNothing)
{
    open(QStringLiteral("INSERT INTO magazzino (codice_val, descrizione) VALUES ('Q\"1', 'TUBO 3/4\"'), "
                        "('L''1', 'DELL''ANGOLO'), ('S\\\\1', 'C:\\\\DISCO'), ('P-1', 'PIANO')"));
    const QString before = column(QStringLiteral("SELECT GROUP_CONCAT(id, codice_val, descrizione ORDER BY id) FROM magazzino")).join(u' ');
    ASSERT_TRUE(before.contains(QStringLiteral("DELL'ANGOLO"))) << before.toStdString();
    struct Case {
        bool byCode;
        QString typed;
        QStringList codes;
    };
    const Case cases[] = {
        {true, QStringLiteral("\""), {"Q\"1"}},
        {true, QStringLiteral("'"), {"L'1"}},
        {true, QStringLiteral("\\"), {"S\\1"}},
        {true, QStringLiteral("' OR ''='"), {}},
        {false, QStringLiteral("4\""), {"Q\"1"}},
        {false, QStringLiteral("L'A"), {"L'1"}},
        {false, QStringLiteral(":\\D"), {"S\\1"}},
        {false, QStringLiteral("\"; DELETE FROM magazzino; -- "), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QLineEdit *box = c.byCode ? screen->codeSearch : screen->descriptionSearch;
        box->setFocus();
        box->clear();
        QTest::keyClicks(box, c.typed);
        EXPECT_EQ(box->text(), c.typed);
        EXPECT_EQ(codes(), c.codes);
    }
    EXPECT_EQ(column(QStringLiteral("SELECT GROUP_CONCAT(id, codice_val, descrizione ORDER BY id) FROM magazzino")).join(u' '), before);
}

TEST_F(ArticleScreen, NuovoSetsTheDefaultsOfANewArticle)
{
    open();
    QTest::mouseClick(screen->nuovoButton, Qt::LeftButton);
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Insert);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("descrizione")));
    QStringList got;
    for (const char *c : {"esistenza", "um", "aliquota", "prezzo_unit", "sc_perc", "sc_importo", "prezzo_tot",
                          "costo_unit", "sc_costo_perc", "sc_costo_importo", "costo_tot"})
        got << text(c);
    EXPECT_EQ(got, (QStringList{"0", "PZ", "22", "0,000", "0", "0", "0", "0,000", "0", "0", "0"}));
    for (const char *c : {"descrizione", "codice_tipo", "codice_val", "sc_tipo", "sc_costo_tipo"})
        EXPECT_TRUE(diz->Articoli.isNull(QString::fromLatin1(c))) << c;

    QTest::keyClicks(screen->box(QStringLiteral("descrizione")), QStringLiteral("dado m8"));
    typeInto("codice_val", QStringLiteral("e-500"));
    screen->close();  // a new article is saved on closing too
    EXPECT_EQ(value(QStringLiteral("SELECT CONCAT_WS('|', descrizione, codice_val, um, aliquota, prezzo_unit) "
                                   "FROM magazzino WHERE codice_val = 'E-500'")),
              QStringLiteral("DADO M8|E-500|PZ|22|0,000"));
}

TEST_F(ArticleScreen, EnterMovesTheFocusThroughListSearchesAndPanelInTheirOrder)
{
    open();
    screen->codeSearch->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("descrizione")));
    screen->nuovoButton->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->descriptionSearch);
    EXPECT_EQ(diz->Articoli.state(), DbTable::State::Browse);  // "Nuovo" was not pressed
    screen->list->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->codeSearch);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), screen->list);
}

} // namespace
