// A day at the desk in the issued-invoice workspace, through its real widgets: cells
// that put their row into editing at the first key, the line editor's exit events under
// message boxes, its refusals, its keys and its kept texts, and what "Stampa" says when
// a datum is missing.
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/db_reread_diagnostics.h"
#include "ui/kit/dialog_messages.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "gui_test.h"
#include "ui/screens/elenco_fatt/header_panel.h"
#include "ui/screens/elenco_fatt/line_panel.h"
#include "checks/presend_check.h"
#include "ui/screens/st_fatt.h"
#include "invoice/testata_hooks.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QThread>
#include <QToolButton>
#include <atomic>
#include <memory>

namespace {

using B = DbNavigator::Button;

class DeskEditing : public DataModuleTest {
protected:
    static void SetUpTestSuite() { openDataModule({.beforeOpen = installTestataHooks}); }

    ExpectedBoxes boxes;
    std::unique_ptr<TElenco_Fatt> window;

    void SetUp() override
    {
        for (DbTable *t : diz->tables())
            t->cancel();
        clearTables({"testata", "dettaglio", "test_dati", "dati_acquisto"});
        refreshTables();
        window = std::make_unique<TElenco_Fatt>(*diz);
        window->setWindowTitle(QStringLiteral("A"));
        showActive(*window);
    }
    void TearDown() override
    {
        window.reset();
        for (DbTable *t : diz->tables())
            t->cancel();
        diz->Testata.setRefreshInterval(10000);
    }

    static int addInvoice(const Columns &overrides = {})
    {
        const Columns invoice{{"rag_soc", "ROSSI SRL"}, {"tipo_doc", "TD01"}, {"data_doc", "05/03/2026"},
                              {"num_doc", "12"},        {"tipo_pag", "TP02"}, {"mod_pag", "MP05"},
                              {"esig_iva", "I"}};
        return insert(QStringLiteral("testata"), merged(invoice, overrides));
    }
    void select(int id)
    {
        diz->Testata.refresh();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
    }

    template <typename W = QWidget>
    W *control(const char *name)
    {
        W *w = window->findChild<W *>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << "no control " << name;
        return w;
    }
    QLineEdit *edit(const char *name) { return control<QLineEdit>(name); }
    QToolButton *navigatorButton(const char *navigator, B button) { return control<DbNavigator>(navigator)->button(button); }

    // Opens the cell editor of a grid by typing one key into the cell, as a user does;
    // returns the editor's edit line (nullptr when none opened).
    QLineEdit *typeFirstKey(const char *gridName, int row, int column, char key)
    {
        auto *grid = control<DbGrid>(gridName);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClick(grid, key);
        QWidget *editor = QApplication::focusWidget();
        if (editor == grid)
            return nullptr;
        if (auto *combo = qobject_cast<QComboBox *>(editor))
            return combo->lineEdit();
        return qobject_cast<QLineEdit *>(editor);
    }

    // Types into a line-editor field over what it shows, then leaves it with Tab.
    void enter(const char *name, const QString &typed)
    {
        QWidget *w = control(name);
        w->setFocus();
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(target, typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
};

// ---------------------------------------------------------------- lists edited in place

TEST_F(DeskEditing, TheFirstKeyTypedIntoAnInvoiceCellPutsTheRowIntoEditing)
{
    const int id = addInvoice();
    select(id);
    QToolButton *post = navigatorButton("DBNavigator1", B::Post);
    QToolButton *cancel = navigatorButton("DBNavigator1", B::Cancel);
    QToolButton *editButton = navigatorButton("DBNavigator1", B::Edit);
    ASSERT_FALSE(post->isEnabled());

    // Column 5 is num_doc.
    QLineEdit *editor = typeFirstKey("DBGrid1", 0, 4, '9');
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("num_doc")), QStringLiteral("9"));
    EXPECT_TRUE(post->isEnabled());
    EXPECT_TRUE(cancel->isEnabled());
    EXPECT_FALSE(editButton->isEnabled());  // it could only throw the typed text away

    // Every further key reaches the row while the cell is still open, the cursor where typed.
    QTest::keyClicks(editor, QStringLiteral("1/B"));
    EXPECT_EQ(editor->text(), QStringLiteral("91/B"));
    EXPECT_EQ(editor->cursorPosition(), 4);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("num_doc")), QStringLiteral("91/B"));
    EXPECT_EQ(QApplication::focusWidget(), editor);

    // A periodic re-read leaves the row being typed alone, although the server's row changed.
    xml->sql().exec(QStringLiteral("UPDATE testata SET rag_soc = 'ALTRO' WHERE id_invio = %1").arg(id));
    diz->Testata.setRefreshInterval(30);
    QTest::qWait(300);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
    EXPECT_EQ(editor->text(), QStringLiteral("91/B"));
    diz->Testata.setRefreshInterval(10000);

    // The navigator's post stores what the open cell shows.
    QTest::mouseClick(post, Qt::LeftButton);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(stored(QStringLiteral("SELECT num_doc FROM testata WHERE id_invio = %1").arg(id)), QStringLiteral("91/B"));
}

TEST_F(DeskEditing, TheNavigatorsCancelDropsWhatWasTypedIntoAnOpenCell)
{
    const int id = addInvoice();
    select(id);
    QLineEdit *editor = typeFirstKey("DBGrid1", 0, 8, 'X');  // rag_soc
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(diz->Testata.state(), DbTable::State::Edit);
    QTest::mouseClick(navigatorButton("DBNavigator1", B::Cancel), Qt::LeftButton);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    QApplication::processEvents();
    EXPECT_EQ(diz->Testata.text(QStringLiteral("rag_soc")), QStringLiteral("ROSSI SRL"));
    EXPECT_EQ(stored(QStringLiteral("SELECT rag_soc FROM testata WHERE id_invio = %1").arg(id)), QStringLiteral("ROSSI SRL"));
}

TEST_F(DeskEditing, TheLinkedDocumentListsPutTheirRowIntoEditingAtTheFirstKeyToo)
{
    const int id = addInvoice();
    insert(QStringLiteral("test_dati"), {{"id_invio", id}, {"tipo", "DatiContratto"}});
    insert(QStringLiteral("dati_acquisto"), {{"id_invio", id}, {"tipo", "DatiContratto"}, {"id_documento", "CTR-1"}});
    select(id);
    diz->ContrattoT.refresh();
    diz->ContrattoD.refresh();
    QTest::mouseClick(window->testataDocButton, Qt::LeftButton);
    ASSERT_TRUE(window->headerPanel->isVisible());

    // The group's kind (a drop-down cell).
    QLineEdit *kind = typeFirstKey("DBGrid3", 0, 0, 'D');
    ASSERT_NE(kind, nullptr);
    EXPECT_EQ(diz->ContrattoT.state(), DbTable::State::Edit);
    EXPECT_NE(diz->ContrattoT.text(QStringLiteral("tipo")), QStringLiteral("DatiContratto"));
    EXPECT_TRUE(navigatorButton("groupNavigator", B::Post)->isEnabled());
    QTest::keyClick(kind, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(kind, QStringLiteral("DatiConvenzione"));
    EXPECT_EQ(diz->ContrattoT.text(QStringLiteral("tipo")), QStringLiteral("DatiConvenzione"));
    QTest::mouseClick(navigatorButton("groupNavigator", B::Post), Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("SELECT tipo FROM test_dati WHERE id_invio = %1").arg(id)), QStringLiteral("DatiConvenzione"));

    // A document of the group (a plain cell): column 2 is id_documento.
    diz->ContrattoD.refresh();
    insert(QStringLiteral("dati_acquisto"), {{"id_invio", id}, {"tipo", "DatiConvenzione"}, {"id_documento", "CNV-1"}});
    diz->ContrattoD.refresh();
    ASSERT_EQ(diz->ContrattoD.rowCount(), 1);
    QLineEdit *document = typeFirstKey("DBGrid4", 0, 1, 'Z');
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(diz->ContrattoD.state(), DbTable::State::Edit);
    EXPECT_EQ(diz->ContrattoD.text(QStringLiteral("id_documento")), document->text());
    EXPECT_TRUE(document->text().contains(QLatin1Char('Z')));
    QTest::keyClick(document, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(document, Qt::Key_Z);
    EXPECT_TRUE(navigatorButton("documentNavigator", B::Post)->isEnabled());
    QTest::mouseClick(navigatorButton("documentNavigator", B::Post), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dati_acquisto WHERE id_documento = 'Z'")), 1);
}

// The refresh a user asks for re-reads the invoice list as the periodic re-read does: on
// the re-read's own thread, the rows applied when they arrive, the window not held.
TEST_F(DeskEditing, TheNavigatorsRefreshReadsTheInvoicesInTheBackground)
{
    select(addInvoice());
    std::atomic<QThread *> fetchedOn{nullptr};
    DbRereadDiagnostics::setFetchObserver(diz->Testata, [&fetchedOn] { fetchedOn = QThread::currentThread(); });
    addInvoice({{"num_doc", "13"}});
    QAbstractItemModel *rows = window->invoiceGrid->model();
    ASSERT_EQ(rows->rowCount(), 1);
    QTest::mouseClick(navigatorButton("DBNavigator1", B::Refresh), Qt::LeftButton);
    EXPECT_EQ(rows->rowCount(), 1);  // the click returned before the rows came
    QTRY_COMPARE(rows->rowCount(), 2);
    EXPECT_NE(fetchedOn.load(), nullptr);
    EXPECT_NE(fetchedOn.load(), QThread::currentThread());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    DbRereadDiagnostics::setFetchObserver(diz->Testata, {});
}

// ---------------------------------------------------------------- the line editor

// Real message boxes, recorded and closed shortly after they take the focus.
class RealBoxes : public DialogMessages {
public:
    RealBoxes() : m_previous(installUiMessages(this))
    {
        QObject::connect(&m_closer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && QApplication::activeWindow() == box) {
                focusedWhileShown << QApplication::focusWidget();
                box->accept();
            }
        });
        m_closer.start(30);
    }
    ~RealBoxes() override { installUiMessages(m_previous); }

    void inform(const QString &text) override
    {
        shown << text;
        DialogMessages::inform(text);
    }
    void error(const QString &text) override
    {
        shown << text;
        DialogMessages::error(text);
    }

    QStringList shown;
    QList<QWidget *> focusedWhileShown;

private:
    UiMessages *m_previous;
    QTimer m_closer;
};

TEST_F(DeskEditing, AnExitEventRunsOnceWhenItsOwnMessageBoxTakesTheFocus)
{
    select(addInvoice());
    RealBoxes real;
    window->linePanel->startInsert();
    // Leaving the gross price for the discount-type list shows "Errore" (a number out of
    // range); the box taking the focus from the list is not a leaving of the list.
    enter("Edit7", QStringLiteral("1E20"));
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(nullptr));
    EXPECT_EQ(real.shown, QStringList{QStringLiteral("Errore")});
    ASSERT_EQ(real.focusedWhileShown.size(), 1);
    EXPECT_NE(real.focusedWhileShown.at(0), nullptr);
    EXPECT_NE(real.focusedWhileShown.at(0)->window(), window.get());  // the box really had the focus
    // The focus came back to the list, which is still the control being left next.
    EXPECT_TRUE(control("cb1")->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == control("cb1"));
}

TEST_F(DeskEditing, ABoxFromElsewhereLeavesTheFieldBeingTypedAlone)
{
    select(addInvoice());
    RealBoxes real;
    window->linePanel->startInsert();
    QLineEdit *quantity = edit("Edit2");
    quantity->setFocus();
    QTest::keyClick(quantity, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(quantity, QStringLiteral("1,5"));
    // An error box of the program (a failed re-read, say) takes the focus and gives it back.
    uiMessages().error(QStringLiteral("Connessione al server del database interrotta."));
    QTRY_COMPARE(QApplication::activeModalWidget(), static_cast<QWidget *>(nullptr));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(quantity));
    EXPECT_EQ(real.shown, QStringList{QStringLiteral("Connessione al server del database interrotta.")});
    EXPECT_EQ(quantity->text(), QStringLiteral("1,5"));  // not tidied: the field was not left
    // Leaving it for another field of the window runs its exit.
    QTest::keyClick(quantity, Qt::Key_Tab);
    EXPECT_EQ(quantity->text(), QStringLiteral("1,50"));
    EXPECT_EQ(real.shown.size(), 1);
}

TEST_F(DeskEditing, AnAmountOutOfRangeIsRefusedNamingTheFieldItWasTypedInto)
{
    const int id = addInvoice();
    select(id);
    struct Case {
        const char *control, *message;
        int errors;  // "Errore" on leaving the field, and on leaving the list it moves to
    };
    const Case cases[] = {
        {"Edit2", "Valore troppo lungo nel campo Quantita: al massimo 12 caratteri", 1},
        {"Edit7", "Valore troppo lungo nel campo Pr. Lordo: al massimo 12 caratteri", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.control);
        window->linePanel->startInsert();
        enter("Edit1", QStringLiteral("Olio"));
        enter("Edit7", QStringLiteral("2"));
        for (int i = 0; i < c.errors; ++i)
            boxes.expectInform(QStringLiteral("Errore"));
        enter(c.control, QStringLiteral("1E20"));
        boxes.expectInform(QString::fromLatin1(c.message));
        QTest::mouseClick(control<QPushButton>("BitBtn8"), Qt::LeftButton);
        EXPECT_EQ(boxes.pending(), 0);
        EXPECT_TRUE(window->linePanel->isVisible());
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
    }
}

TEST_F(DeskEditing, InsRigaSelectsTheKeptDescriptionEscapeCancelsAndEnterOnRegistraStores)
{
    const int id = addInvoice();
    select(id);
    LinePanel *panel = window->linePanel;

    // Enter on "Registra" stores the line (elsewhere Enter moves on as Tab does).
    panel->startInsert();
    enter("Edit1", QStringLiteral("Olio extravergine di oliva 1 l"));
    enter("Edit2", QStringLiteral("2"));
    enter("Edit7", QStringLiteral("5"));
    auto *registra = control<QPushButton>("BitBtn8");
    registra->setFocus();
    QTest::keyClick(registra, Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(stored(QStringLiteral("SELECT descrizione FROM dettaglio WHERE id_invio = %1").arg(id)),
              QStringLiteral("Olio extravergine di oliva 1 l"));

    // The next new line keeps the description, selected: typing replaces it.
    panel->startInsert();
    QLineEdit *description = edit("Edit1");
    EXPECT_EQ(QApplication::focusWidget(), description);
    EXPECT_EQ(description->selectedText(), QStringLiteral("Olio extravergine di oliva 1 l"));
    QTest::keyClicks(description, QStringLiteral("Detergente"));
    EXPECT_EQ(description->text(), QStringLiteral("Detergente"));
    // So is any kept text whose field is reached with Tab.
    QTest::keyClick(description, Qt::Key_Tab);
    EXPECT_EQ(edit("Edit2")->selectedText(), QStringLiteral("0,00"));

    // Escape closes the panel as "Annulla" does: nothing is stored.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(id)), 1);

    // Also from a list of the panel, and Enter in a field still moves on.
    panel->startInsert();
    control("cb1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    panel->startInsert();
    description->setFocus();
    QTest::keyClick(description, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("Edit2"));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(id)), 1);
}

// ---------------------------------------------------------------- "Stampa"

TEST_F(DeskEditing, MancanzaDatiSaysWhichDatumIsMissing)
{
    TSt_Fatt layouts(*diz);
    St_Fatt = &layouts;
    const std::unique_ptr<TSt_Fatt *, void (*)(TSt_Fatt **)> restore(&St_Fatt, [](TSt_Fatt **p) { *p = nullptr; });
    struct Case {
        const char *date, *message;
    };
    const Case cases[] = {
        {"", "Mancanza Dati\nData Documento mancante: la stampa riporta l'anno del documento."},
        {"32/01/2026",
         "Mancanza Dati\nData Documento non valida: \"32/01/2026\" (serve giorno/mese/anno, per esempio 05/03/2026)."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date);
        select(addInvoice({{"data_doc", QString::fromLatin1(c.date)}}));
        boxes.expectInform(QString::fromUtf8(c.message));
        QTest::mouseClick(window->stampaButton, Qt::LeftButton);
        EXPECT_EQ(boxes.pending(), 0);
    }
}

// ---------------------------------------------------------------- the pre-send box

TEST_F(DeskEditing, AMissingSchemaIsReportedOnceAsAnInstallationProblem)
{
    QTemporaryDir folder(QStringLiteral("/tmp/desk-XXXXXX"));
    QTemporaryDir noSchema(QStringLiteral("/tmp/desk-noschema-XXXXXX"));
    clearTables({"azienda"});
    insert(QStringLiteral("azienda"),
           {{"rag_soc", "Alfa & Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"}, {"reg_fisc", "RF02"},
            {"indirizzo", "Via Roma, 10/A"}, {"cap", "00184"}, {"comune", "Roma"}, {"prov", "RM"}, {"nazione", "IT"},
            {"uff_rea", "RM"}, {"num_rea", "1234567"}, {"capit_soc", "10000"}, {"soc_uni", "SM"}, {"stato_liq", "LN"},
            {"mail", "info@alfabeta.it"}, {"telefono", "0612345678"}, {"iban", "IT60X0542811101000000123456"},
            {"path", folder.path() + QLatin1Char('/')}});
    diz->AziendaT.refresh();
    diz->AziendaT.first();
    const int id = addInvoice(
        {{"rag_soc", "Rossi Forniture S.p.A."}, {"indirizzo", "Corso Italia 5"}, {"comune", "Milano"}, {"cap", "20122"},
         {"prov", "MI"}, {"nazione", "IT"}, {"p_iva", "09876543210"}, {"cod_fis", ""}, {"cod_dest", "ABC1234"}, {"pec", ""},
         {"tot_doc", "122,00"}, {"mod_pag", "MP01"}, {"n_rate", 0}, {"spese", "0,00"}, {"arrot", "0,00"},
         {"spese2", "0,00"}, {"arrot2", "0,00"}, {"spese3", "0,00"}, {"arrot3", "0,00"}, {"aliquota", "22"},
         {"imponibile", "100,00"}, {"imposta", "22,00"}, {"tot_omaggio", "0,00"}, {"sc_importo", "0,00"}, {"esig_iva2", "I"}, {"esig_iva3", "I"}, {"sc_tipo", ""},
         {"sc_perc", ""}, {"natura", ""}, {"inviata", 0}});
    insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", 1}, {"descrizione", "Consulenza"}, {"quantita", "1,00"},
                                         {"um", "NR"}, {"prezzo_unit", "100,000"}, {"prezzo_tot", "100,000"},
                                         {"aliquota", "22"}, {"sc_tipo", ""}, {"codice_tipo", ""},
                                         {"ritenuta", ""}, {"natura", ""}, {"rif_amm", ""}, {"categoria", ""}, {"lotto", ""},
                                         {"origine", ""}});
    select(id);
    diz->Detta.refresh();

    setPresendSchemaFolder(noSchema.path());
    boxes.expect(ScriptedMessages::Kind::Inform);
    QTest::mouseClick(window->creaXmlButton, Qt::LeftButton);
    // The second file is not reported: the user has been told why no file is checked.
    QTest::mouseClick(window->xmlPaButton, Qt::LeftButton);
    setPresendSchemaFolder(QString());
    ASSERT_EQ(boxes.shown().size(), 1);
    const QString told = boxes.shown().at(0).text;
    EXPECT_TRUE(told.startsWith(QStringLiteral("File XML scritto, ma non controllato: su questo computer manca lo schema "
                                               "FatturaPA")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("problema di installazione"))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("scarterebbe")));
    // Both files are written all the same.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);  // the same name, written twice
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file IS NOT NULL")), 1);
}

} // namespace
