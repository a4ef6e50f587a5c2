// The customer registry: search as you type on the shared `Clienti` object, new
// customers, Enter as Tab, and the pick of a customer into the current invoice.
#include "ui/screens/registries/anag_cl.h"
#include "ui/kit/bound_panel.h"
#include "ui/kit/db_navigator.h"
#include "registry_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using B = DbNavigator::Button;

const QString Customers = QStringLiteral(
    "INSERT INTO clienti (rag_soc, comune) VALUES ('METALFER SPA', 'Brescia'), ('BETA SNC', 'Roma'), "
    "('ALFA SRL', 'Milano'), ('GAMMA ALFIERI', 'Asti'), ('OMEGA SAS', 'Bari'), (NULL, 'Senza nome')");

class CustomerRegistry : public RegistryFixture {
protected:
    std::unique_ptr<TAnag_Cl> screen;

    void open(const QString &setupSql = Customers)
    {
        openWith(setupSql);
        screen = std::make_unique<TAnag_Cl>(*diz);
        showActive(*screen);
    }
    QStringList names() { return shown(*screen->list, 1); }
    void search(const QString &text)
    {
        screen->searchBox->setFocus();
        screen->searchBox->selectAll();
        if (text.isEmpty())
            QTest::keyClick(screen->searchBox, Qt::Key_Backspace);
        else
            QTest::keyClicks(screen->searchBox, text);
    }
};

TEST_F(CustomerRegistry, EveryLetterSearchesTheNamesContainingTheTextInNameOrder)
{
    open();
    EXPECT_EQ(screen->searchBox, QApplication::focusWidget());  // put there on showing

    const QList<std::pair<QString, QStringList>> steps{
        {QStringLiteral("A"), {"ALFA SRL", "BETA SNC", "GAMMA ALFIERI", "METALFER SPA", "OMEGA SAS"}},
        {QStringLiteral("AL"), {"ALFA SRL", "GAMMA ALFIERI", "METALFER SPA"}},
        {QStringLiteral("ALF"), {"ALFA SRL", "GAMMA ALFIERI", "METALFER SPA"}},
        {QStringLiteral("ALFA"), {"ALFA SRL"}},
    };
    screen->searchBox->setFocus();
    for (const auto &[text, expected] : steps) {
        QTest::keyClick(screen->searchBox, text.back().toLatin1());
        EXPECT_EQ(screen->searchBox->text(), text);
        EXPECT_EQ(names(), expected) << text.toStdString();
    }
    EXPECT_EQ(diz->Clienti.text(QStringLiteral("rag_soc")), QStringLiteral("ALFA SRL"));  // the first found is current

    search(QStringLiteral("alf"));  // compared as the server compares text
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "GAMMA ALFIERI", "METALFER SPA"}));
    search(QStringLiteral("A%S"));  // % and _ keep their pattern meaning
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "BETA SNC", "METALFER SPA", "OMEGA SAS"}));
    search(QStringLiteral("BET_"));
    EXPECT_EQ(names(), QStringList{"BETA SNC"});
    search(QStringLiteral("ZZZ"));
    EXPECT_TRUE(names().isEmpty());

    // The emptied box lists every customer with a name; the nameless one has dropped out.
    search(QString());
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "BETA SNC", "GAMMA ALFIERI", "METALFER SPA", "OMEGA SAS"}));
    EXPECT_FALSE(diz->Clienti.locate(QStringLiteral("comune"), QStringLiteral("Senza nome")));
}

TEST_F(CustomerRegistry, ANamelessCustomerIsListedOnlyUntilTheFirstSearch)
{
    open();
    EXPECT_EQ(diz->Clienti.rowCount(), 6);  // the statement of the data module reads every row
    EXPECT_EQ(names().first(), QString());  // a NULL name sorts first
    search(QStringLiteral("X"));
    search(QString());
    EXPECT_EQ(diz->Clienti.rowCount(), 5);
    // The search stays on the shared object for every screen until the next one.
    diz->Clienti.close();
    diz->Clienti.open();
    EXPECT_EQ(diz->Clienti.rowCount(), 5);
}

TEST_F(CustomerRegistry, QuotesAndBackslashesAreSearchedAsThemselvesAndChangeNothing)
{
    open(QStringLiteral("INSERT INTO clienti (rag_soc) VALUES ('FORNO \"DA MARIO\"'), ('L''ANGOLO BAR'), "
                        "('STUDIO C:\\\\DATI'), ('PIPE|LINE SRL'), ('ALFA SRL'), ('BETA SNC')"));
    const QString before = column(QStringLiteral("SELECT GROUP_CONCAT(id, rag_soc ORDER BY id) FROM clienti")).join(u' ');

    const QList<std::pair<QString, QStringList>> cases{
        {QStringLiteral("\""), {"FORNO \"DA MARIO\""}},
        {QStringLiteral("\"DA MARIO\""), {"FORNO \"DA MARIO\""}},
        {QStringLiteral("'"), {"L'ANGOLO BAR"}},
        {QStringLiteral("L'A"), {"L'ANGOLO BAR"}},
        {QStringLiteral("\\"), {"STUDIO C:\\DATI"}},
        {QStringLiteral(":\\D"), {"STUDIO C:\\DATI"}},
        {QStringLiteral("|"), {"PIPE|LINE SRL"}},
        {QStringLiteral("\" or \"\"=\""), {}},
        {QStringLiteral("%\" or 1=1 -- "), {}},
        {QStringLiteral("'; DELETE FROM clienti; -- "), {}},
        {QStringLiteral("\\%"), {"STUDIO C:\\DATI"}},  // a backslash, then anything: it escapes nothing
    };
    for (const auto &[text, expected] : cases) {
        search(text);
        EXPECT_EQ(screen->searchBox->text(), text);
        EXPECT_EQ(names(), expected) << text.toStdString();
    }
    EXPECT_EQ(column(QStringLiteral("SELECT GROUP_CONCAT(id, rag_soc ORDER BY id) FROM clienti")).join(u' '), before);
}

TEST_F(CustomerRegistry, AFailedSearchLeavesTheListEmptyUntilTheNextSuccessfulOne)
{
    open();
    db->sql().exec(QStringLiteral("ALTER TABLE clienti RENAME COLUMN rag_soc TO nome"));
    boxes.expectError();  // the server's own text, which differs between server versions
    search(QStringLiteral("A"));
    db->sql().exec(QStringLiteral("ALTER TABLE clienti RENAME COLUMN nome TO rag_soc"));
    EXPECT_FALSE(diz->Clienti.isOpen());
    EXPECT_TRUE(names().isEmpty());
    EXPECT_EQ(screen->box(QStringLiteral("comune"))->text(), QString());
    QTest::keyClicks(screen->searchBox, QStringLiteral("L"));
    EXPECT_EQ(names(), (QStringList{"ALFA SRL", "GAMMA ALFIERI", "METALFER SPA"}));
}

TEST_F(CustomerRegistry, NuovoStartsAnEmptyCustomerThatASearchDropsAndTheBoxesKeepTheirCase)
{
    open();
    QTest::mouseClick(screen->nuovoButton, Qt::LeftButton);
    EXPECT_EQ(diz->Clienti.state(), DbTable::State::Insert);
    DbEdit *name = screen->box(QStringLiteral("rag_soc"));
    EXPECT_EQ(QApplication::focusWidget(), name);
    for (const QString &column : {QStringLiteral("rag_soc"), QStringLiteral("comune"), QStringLiteral("dest_cap")})
        EXPECT_TRUE(diz->Clienti.isNull(column)) << column.toStdString();

    QTest::keyClicks(name, QStringLiteral("Nuovo Cliente"));
    QTest::keyClicks(screen->box(QStringLiteral("pec")), QStringLiteral("Posta@PEC.it"));
    QTest::keyClicks(screen->box(QStringLiteral("dest_soc")), QStringLiteral("Magazzino Nord"));
    QTest::keyClicks(screen->box(QStringLiteral("cap")), QStringLiteral("2012345"));
    EXPECT_EQ(diz->Clienti.text(QStringLiteral("rag_soc")), QStringLiteral("NUOVO CLIENTE"));
    EXPECT_EQ(diz->Clienti.text(QStringLiteral("pec")), QStringLiteral("posta@pec.it"));
    EXPECT_EQ(diz->Clienti.text(QStringLiteral("dest_soc")), QStringLiteral("MAGAZZINO NORD"));
    EXPECT_EQ(diz->Clienti.text(QStringLiteral("cap")), QStringLiteral("20123"));  // at most the column's width

    search(QStringLiteral("N"));  // the unsaved customer is dropped
    EXPECT_EQ(diz->Clienti.state(), DbTable::State::Browse);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM clienti")), QStringLiteral("6"));

    // Saved with the navigator, it is stored and found.
    QTest::mouseClick(screen->nuovoButton, Qt::LeftButton);
    QTest::keyClicks(screen->box(QStringLiteral("rag_soc")), QStringLiteral("Zeta Spa"));
    QTest::mouseClick(screen->navigator->button(B::Post), Qt::LeftButton);
    EXPECT_EQ(value(QStringLiteral("SELECT rag_soc FROM clienti WHERE rag_soc LIKE 'Z%'")), QStringLiteral("ZETA SPA"));
    search(QStringLiteral("ZETA"));
    EXPECT_EQ(names(), QStringList{"ZETA SPA"});
}

TEST_F(CustomerRegistry, TheNavigatorHasNoInsertAndEnterMovesTheFocusLikeTab)
{
    open();
    EXPECT_EQ(screen->navigator->buttons(),
              (QList<B>{B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}));
    screen->box(QStringLiteral("cod_fis"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("cod_dest")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), screen->nuovoButton);  // Enter does not press it
    EXPECT_EQ(diz->Clienti.state(), DbTable::State::Browse);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), screen->box(QStringLiteral("pec")));
}

TEST_F(CustomerRegistry, APickFromTheMainMenuDoesNothing)
{
    open(Customers + QStringLiteral(";\nINSERT INTO testata (rag_soc, num_doc) VALUES ('VECCHIO', '1')"));
    doubleClickLine(*screen->list, 1, QStringLiteral("ALFA SRL"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(value(QStringLiteral("SELECT rag_soc FROM testata")), QStringLiteral("VECCHIO"));
}

// Every buyer column: set on the customer and the old value of the invoice.
const QStringList BuyerColumns{"rag_soc", "indirizzo", "comune", "cap", "prov", "nazione", "p_iva",
                               "cod_fis", "cod_dest", "pec", "dest_soc", "dest_indir", "dest_comune", "dest_cap"};

TEST_F(CustomerRegistry, APickFromTheWorkspaceCopiesTheFourteenColumnsValueForValueAndSaves)
{
    open(QStringLiteral(
        "INSERT INTO clienti (rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec) VALUES "
        "('ALFA SRL', 'Via Roma 1', 'Milano', '20100', 'MI', 'IT', '01234567890', 'RSSMRA80A01F205X', 'ABC1234', "
        "'alfa@pec.it'), ('BETA SNC', '', '', '', '', '', '', '', '', '');\n"
        "INSERT INTO testata (rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec, "
        "dest_soc, dest_indir, dest_comune, dest_cap, num_doc, tot_doc) VALUES ('VECCHIO', 'v', 'v', 'v', 'v', 'v', "
        "'v', 'v', 'v', 'v', 'DEST VECCHIA', 'Via Vecchia', 'Pavia', '27100', '7', '122,00')"));
    showWorkspace();
    showActive(*screen);

    doubleClickLine(*screen->list, 1, QStringLiteral("ALFA SRL"));
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    const QString stored = QStringLiteral("SELECT CONCAT_WS('|', %1) FROM testata").arg(
        [] {
            QStringList c;
            for (const QString &n : BuyerColumns)
                c << QStringLiteral("IFNULL(%1, '<NULL>')").arg(n);
            return c.join(u',');
        }());
    EXPECT_EQ(value(stored), QStringLiteral("ALFA SRL|Via Roma 1|Milano|20100|MI|IT|01234567890|RSSMRA80A01F205X|"
                                            "ABC1234|alfa@pec.it|<NULL>|<NULL>|<NULL>|<NULL>"));
    EXPECT_EQ(value(QStringLiteral("SELECT CONCAT(num_doc, ' ', tot_doc) FROM testata")), QStringLiteral("7 122,00"));

    // Empty texts stay empty texts, not NULL.
    showActive(*screen);
    doubleClickLine(*screen->list, 1, QStringLiteral("BETA SNC"));
    EXPECT_EQ(value(QStringLiteral("SELECT CONCAT('[', indirizzo, '][', pec, ']') FROM testata")), QStringLiteral("[][]"));
    EXPECT_EQ(value(QStringLiteral("SELECT IFNULL(dest_soc, '<NULL>') FROM testata")), QStringLiteral("<NULL>"));
}

TEST_F(CustomerRegistry, APickIntoAnEmptyInvoiceListStartsAndSavesANewInvoiceWithItsDefaults)
{
    open();
    ASSERT_TRUE(diz->Testata.isEmpty());
    showWorkspace();
    showActive(*screen);
    doubleClickLine(*screen->list, 1, QStringLiteral("BETA SNC"));
    EXPECT_FALSE(screen->isVisible());
    EXPECT_EQ(value(QStringLiteral("SELECT CONCAT_WS(' ', rag_soc, comune, tipo_doc, tipo_pag, causale) FROM testata")),
              QStringLiteral("BETA SNC Roma TD01 TP02 Vendita"));
    EXPECT_EQ(diz->Testata.rowCount(), 1);
    EXPECT_GT(diz->Testata.asInteger(QStringLiteral("id_invio")), 0);
}

TEST_F(CustomerRegistry, APickIntoANewUnsavedInvoiceFillsAndSavesThatInvoice)
{
    open(Customers + QStringLiteral(";\nINSERT INTO testata (rag_soc, num_doc) VALUES ('VECCHIO', '1')"));
    diz->Testata.append();
    diz->Testata.setText(QStringLiteral("num_doc"), QStringLiteral("2"));
    showWorkspace();
    showActive(*screen);
    doubleClickLine(*screen->list, 1, QStringLiteral("OMEGA SAS"));
    EXPECT_EQ(column(QStringLiteral("SELECT CONCAT(num_doc, ' ', rag_soc) FROM testata ORDER BY id_invio")),
              (QStringList{"1 VECCHIO", "2 OMEGA SAS"}));
}

TEST_F(CustomerRegistry, AFailedSaveOfThePickLeavesTheInvoiceInEditingAndTheWindowOpen)
{
    open(Customers + QStringLiteral(";\nINSERT INTO testata (rag_soc, num_doc) VALUES ('VECCHIO', '1')"));
    showWorkspace();
    showActive(*screen);
    db->sql().exec(QStringLiteral("ALTER TABLE testata ADD CONSTRAINT no_beta CHECK (rag_soc <> 'BETA SNC')"));
    boxes.expectError();
    doubleClickLine(*screen->list, 1, QStringLiteral("BETA SNC"));
    db->sql().exec(QStringLiteral("ALTER TABLE testata DROP CONSTRAINT no_beta"));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("rag_soc")), QStringLiteral("BETA SNC"));
    EXPECT_EQ(value(QStringLiteral("SELECT rag_soc FROM testata")), QStringLiteral("VECCHIO"));
    diz->Testata.cancel();
}

} // namespace
