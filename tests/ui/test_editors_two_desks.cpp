// Two desks on one server, each with its own data module and connection: the line and
// header editors stay bound to the invoice (and line) they were opened on. When another
// desk deletes or changes it, "Registra" refuses, says so and the panel closes; nothing
// typed for one invoice reaches another. "Mod. Riga" opens on the line as stored now.
#include "ui/screens/elenco_fatt/editor_binding.h"
#include "editor_panel_fixture.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "ui/screens/elenco_fatt/header_panel.h"
#include "invoice/invoice_lock.h"
#include "ui/screens/elenco_fatt/line_panel.h"

namespace {

class EditorsTwoDesks : public PanelTest {
protected:
    static inline std::unique_ptr<TDiz> deskB;
    LinePanel *linePanel = nullptr;
    HeaderPanel *headerPanel = nullptr;
    int x = 0, y = 0;

    static void SetUpTestSuite()
    {
        PanelTest::SetUpTestSuite();
        deskB = std::make_unique<TDiz>();
        installTestataHooks(*deskB);
        openDataModuleOn(*deskB);
    }
    static void TearDownTestSuite()
    {
        deskB.reset();
        PanelTest::TearDownTestSuite();
    }

    // Invoices X and Y of one line each; X current on desk A.
    void SetUp() override
    {
        PanelTest::SetUp();
        diz->Testata.setRefreshInterval(0);
        deskB->Testata.setRefreshInterval(0);
        auto *layout = new QVBoxLayout(&window);
        linePanel = new LinePanel(*diz, &window);
        layout->addWidget(linePanel);
        headerPanel = new HeaderPanel(*diz, &window);
        headerPanel->hide();
        layout->addWidget(headerPanel);
        addLineList(layout);
        showActive(window);
        y = addInvoice({{"rag_soc", "CLIENTE Y"}});
        addLine(y, line("Riga di Y"));
        x = addInvoice({{"rag_soc", "CLIENTE X"}});
        addLine(x, line("Riga di X"));
        deskB->Testata.refresh();
        ASSERT_TRUE(deskB->Testata.locate(QStringLiteral("id_invio"), x));
        deskB->Detta.refresh();
    }

    static QVariantMap line(const char *description)
    {
        return {{"prog", 1}, {"descrizione", description}, {"quantita", "1,00"}, {"um", "PZ"}, {"prezzo_unit", "10,00"},
                {"prezzo_tot", "10,000"}, {"aliquota", "22"}};
    }

    void deleteXOnB()
    {
        deskB->xml_conn.exec(QStringLiteral("DELETE FROM dettaglio WHERE id_invio = ?"), {x});
        deskB->Testata.remove();
    }

    // The editor opened on X; X deleted on desk B and the periodic re-read makes Y current.
    void registraAfterTheListMovedToY(const std::function<void()> &openEditor)
    {
        openEditor();
        type("Edit1", QStringLiteral("Scritta su A"));
        deleteXOnB();
        diz->Testata.refresh();
        ASSERT_EQ(diz->Testata.text(QStringLiteral("id_invio")), QString::number(y));
        boxes.expectInform(EditorBinding::invoiceLeftMessage());
        click("BitBtn8");
        QApplication::processEvents();
        EXPECT_FALSE(linePanel->isVisible());
        EXPECT_EQ(descriptionsOf(y), QStringList{QStringLiteral("Riga di Y")});
        EXPECT_EQ(header(y, "tot_doc"), QStringLiteral("<NULL>"));  // not recomputed
    }

    QStringList descriptionsOf(int id)
    {
        QStringList out;
        const DbResult r = db->sql().select(QStringLiteral("SELECT descrizione FROM dettaglio WHERE id_invio = ? ORDER BY prog"), {id});
        for (const DbRow &row : r.rows)
            out << QString::fromUtf8(row.raw(0).toByteArray());
        return out;
    }
};

TEST_F(EditorsTwoDesks, ALineEditorOpenOnAnInvoiceDeletedElsewhereRefusesAndCloses)
{
    linePanel->startModify();
    type("Edit1", QStringLiteral("Scritta su A"));
    deleteXOnB();
    boxes.expectInform(InvoiceLock::deletedMessage());
    click("BitBtn8");
    QApplication::processEvents();
    EXPECT_FALSE(linePanel->isVisible());
    EXPECT_EQ(descriptionsOf(y), QStringList{QStringLiteral("Riga di Y")});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
    EXPECT_EQ(header(y, "rag_soc"), QStringLiteral("CLIENTE Y"));
}

TEST_F(EditorsTwoDesks, AReReadThatMovedTheListElsewhereMakesRegistraRefuseInsteadOfWritingIntoTheNeighbour)
{
    registraAfterTheListMovedToY([this] { linePanel->startModify(); });
}

TEST_F(EditorsTwoDesks, ANewLineTypedForAnInvoiceDeletedElsewhereGoesIntoNoOtherInvoice)
{
    registraAfterTheListMovedToY([this] { linePanel->startInsert(); });
}

TEST_F(EditorsTwoDesks, ALineChangedElsewhereAfterTheEditorOpenedIsNotOverwritten)
{
    linePanel->startModify();
    type("Edit1", QStringLiteral("Scritta su A"));
    deskB->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("Scritta su B"));
    deskB->Detta.post();
    boxes.expectInform(DbTable::rowNotFoundMessage());
    click("BitBtn8");
    QApplication::processEvents();
    EXPECT_FALSE(linePanel->isVisible());
    EXPECT_EQ(descriptionsOf(x), QStringList{QStringLiteral("Scritta su B")});
    // The desk shows the line as stored.
    EXPECT_EQ(diz->Detta.text(QStringLiteral("descrizione")), QStringLiteral("Scritta su B"));
}

TEST_F(EditorsTwoDesks, ModRigaOpensOnTheLineAsStoredNow)
{
    deskB->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("Scritta su B"));
    deskB->Detta.post();
    linePanel->startModify();
    EXPECT_EQ(text("Edit1"), QStringLiteral("Scritta su B"));
    type("Edit6", QStringLiteral("COD1"));
    click("BitBtn8");
    EXPECT_FALSE(linePanel->isVisible());
    EXPECT_EQ(descriptionsOf(x), QStringList{QStringLiteral("Scritta su B")});
}

TEST_F(EditorsTwoDesks, AHeaderEditorsStaleChangeIsRefusedAndThePanelShowsTheStoredValues)
{
    headerPanel->open();
    type("DBEdit3", QStringLiteral("SCRITTA SU A"));
    deskB->Testata.setText(QStringLiteral("rag_soc"), QStringLiteral("SCRITTA SU B"));
    deskB->Testata.post();
    boxes.expectInform(DbTable::staleRowMessage());
    click("BitBtn13");
    QApplication::processEvents();
    EXPECT_FALSE(headerPanel->isVisible());
    EXPECT_EQ(header(x, "rag_soc"), QStringLiteral("SCRITTA SU B"));
    EXPECT_EQ(diz->Testata.text(QStringLiteral("rag_soc")), QStringLiteral("SCRITTA SU B"));
    EXPECT_FALSE(diz->Testata.isEditing());
}

TEST_F(EditorsTwoDesks, AHeaderEditorOpenOnAnInvoiceDeletedElsewhereRefusesAndCloses)
{
    headerPanel->open();
    type("DBEdit2", QStringLiteral("99"));
    deleteXOnB();
    boxes.expectInform(InvoiceLock::deletedMessage());
    click("BitBtn13");
    QApplication::processEvents();
    EXPECT_FALSE(headerPanel->isVisible());
    EXPECT_EQ(header(y, "num_doc"), QStringLiteral("7"));
}

// In the workspace: a re-read that finds the invoice gone closes the editors open on it
// at once and tells the user; they do not follow the list to the neighbouring invoice.
TEST_F(EditorsTwoDesks, AReReadThatFindsTheInvoiceGoneClosesTheWorkspacesEditors)
{
    TElenco_Fatt workspace(*diz);
    showActive(workspace);
    ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), x));
    auto *lines = workspace.findChild<LinePanel *>();
    auto *header = workspace.findChild<HeaderPanel *>();
    ASSERT_TRUE(lines && header);
    lines->startModify();
    header->open();
    ASSERT_TRUE(lines->isVisible() && header->isVisible());
    deleteXOnB();
    boxes.expectInform(InvoiceLock::deletedMessage());
    diz->Testata.refresh();  // the periodic re-read
    QApplication::processEvents();
    EXPECT_FALSE(lines->isVisible());
    EXPECT_FALSE(header->isVisible());
    EXPECT_EQ(diz->Testata.text(QStringLiteral("id_invio")), QString::number(y));
}

} // namespace
