// Two desks on one server, each with its own data module and connection: a change or a
// delete based on a row that another desk has stored since is refused, with the stored
// row shown again; changes to different columns of one row both stay.
#include "data/app_error.h"
#include "data_module_fixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class TwoDeskRows : public DataModuleTest {
protected:
    static inline std::unique_ptr<TDiz> deskB;
    DbTable &a() { return diz->Testata; }
    DbTable &b() { return deskB->Testata; }
    int first = 0, second = 0;

    static void SetUpTestSuite()
    {
        DataModuleTest::SetUpTestSuite();
        deskB = std::make_unique<TDiz>();
        openDataModuleOn(*deskB);
    }
    static void TearDownTestSuite()
    {
        deskB.reset();
        DataModuleTest::TearDownTestSuite();
    }

    void SetUp() override
    {
        for (TDiz *desk : {diz.get(), deskB.get()}) {
            desk->Testata.setRefreshInterval(0);
            for (DbTable *t : desk->tables())
                t->cancel();
        }
        clearTables({"testata", "dettaglio", "clienti", "test_dati"});
        first = insert(QStringLiteral("testata"), {{"rag_soc", "ALFA"}, {"cap", "00100"}, {"num_doc", "1"}});
        second = insert(QStringLiteral("testata"), {{"rag_soc", "BETA"}, {"cap", "20100"}, {"num_doc", "2"}});
        for (TDiz *desk : {diz.get(), deskB.get()}) {
            desk->Testata.refresh();
            ASSERT_TRUE(desk->Testata.locate(QStringLiteral("id_invio"), first));
        }
    }

    static QString storedColumn(const char *column, int id)
    {
        return stored(QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ?").arg(QLatin1String(column)), {id});
    }

    // Runs `store`, expecting the refusal of a row another desk changed.
    static void expectRefused(const std::function<void()> &store)
    {
        try {
            store();
            ADD_FAILURE() << "the stale change was stored";
        } catch (const DbError &e) {
            EXPECT_EQ(e.text(), DbTable::staleRowMessage());
            EXPECT_TRUE(e.text().contains(QStringLiteral("altra postazione")));
        }
    }
};

TEST_F(TwoDeskRows, AStaleChangeOfTheSameColumnIsRefusedAndTheStoredRowIsShown)
{
    // B put the row into editing before A stored it, and after.
    for (const bool editingFirst : {true, false}) {
        SCOPED_TRACE(editingFirst);
        SetUp();
        if (editingFirst)
            b().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK B"));
        a().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK A"));
        a().post();
        if (!editingFirst)
            b().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK B"));
        expectRefused([&] { b().post(); });
        EXPECT_EQ(storedColumn("rag_soc", first), QStringLiteral("DESK A"));
        EXPECT_EQ(b().state(), DbTable::State::Browse);
        EXPECT_EQ(b().text(QStringLiteral("rag_soc")), QStringLiteral("DESK A"));
        EXPECT_EQ(b().text(QStringLiteral("id_invio")), QString::number(first));
    }
}

TEST_F(TwoDeskRows, AStaleChangeIsRefusedAlsoWhenAMoveStoresIt)
{
    a().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK A"));
    a().post();
    b().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK B"));
    expectRefused([&] { b().next(); });
    EXPECT_EQ(storedColumn("rag_soc", first), QStringLiteral("DESK A"));
    EXPECT_FALSE(b().isEditing());
}

TEST_F(TwoDeskRows, ChangesOfDifferentColumnsOfOneRowBothStay)
{
    a().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK A"));
    a().post();
    b().setText(QStringLiteral("cap"), QStringLiteral("40100"));
    EXPECT_NO_THROW(b().post());
    EXPECT_EQ(storedColumn("rag_soc", first), QStringLiteral("DESK A"));
    EXPECT_EQ(storedColumn("cap", first), QStringLiteral("40100"));
    // The same desk changing its own row again is never refused.
    a().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK A 2"));
    EXPECT_NO_THROW(a().post());
    a().setText(QStringLiteral("rag_soc"), QStringLiteral("desk a 2"));  // case counts
    EXPECT_NO_THROW(a().post());
    EXPECT_EQ(storedColumn("rag_soc", first), QStringLiteral("desk a 2"));
}

TEST_F(TwoDeskRows, AValueSetToNullOnAnotherDeskIsAChangeToo)
{
    deskB->xml_conn.exec(QStringLiteral("UPDATE testata SET cap = NULL WHERE id_invio = ?"), {first});
    a().setText(QStringLiteral("cap"), QStringLiteral("30100"));
    expectRefused([&] { a().post(); });
    EXPECT_TRUE(a().isNull(QStringLiteral("cap")));
}

TEST_F(TwoDeskRows, DeletingARowChangedOnAnotherDeskIsRefused)
{
    a().setText(QStringLiteral("cap"), QStringLiteral("40100"));
    a().post();
    expectRefused([&] { b().remove(); });
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 2);
    EXPECT_EQ(b().text(QStringLiteral("cap")), QStringLiteral("40100"));
    // Read again, the row can be deleted.
    EXPECT_NO_THROW(b().remove());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
}

TEST_F(TwoDeskRows, ChangingARowDeletedOnAnotherDeskIsRefusedAndTheRowLeavesTheDesk)
{
    a().remove();
    b().setText(QStringLiteral("rag_soc"), QStringLiteral("DESK B"));
    expectRefused([&] { b().post(); });
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(b().rowCount(), 1);
    EXPECT_EQ(b().text(QStringLiteral("id_invio")), QString::number(second));
}

TEST_F(TwoDeskRows, KeylessRowsKeepTheirPendingChangeWithAnItalianMessage)
{
    const int id = first;
    insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", 1}, {"descrizione", "riga"}});
    for (TDiz *desk : {diz.get(), deskB.get()})
        desk->Detta.refresh();
    diz->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("da A"));
    diz->Detta.post();
    deskB->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("da B"));
    try {
        deskB->Detta.post();
        ADD_FAILURE() << "stored";
    } catch (const DbError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Riga non trovata o modificata su un'altra postazione"));
    }
    EXPECT_EQ(deskB->Detta.state(), DbTable::State::Edit);
}

TEST_F(TwoDeskRows, AReReadThatFindsTheCurrentInvoiceChangedReReadsItsLinesAndLinkedDocuments)
{
    insert(QStringLiteral("dettaglio"), {{"id_invio", first}, {"prog", 1}, {"descrizione", "riga 1"}});
    diz->Detta.refresh();
    diz->ContrattoT.refresh();
    ASSERT_EQ(diz->Detta.rowCount(), 1);
    // Desk B adds a line and a linked-document group, and stores the new total.
    insert(QStringLiteral("dettaglio"), {{"id_invio", first}, {"prog", 2}, {"descrizione", "riga 2"}});
    insert(QStringLiteral("test_dati"), {{"id_invio", first}, {"tipo", "DatiContratto"}});
    b().setText(QStringLiteral("tot_doc"), QStringLiteral("10,00"));
    b().post();

    a().refresh();  // the periodic re-read of desk A
    EXPECT_EQ(a().text(QStringLiteral("tot_doc")), QStringLiteral("10,00"));
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_EQ(diz->ContrattoT.rowCount(), 1);
}

TEST_F(TwoDeskRows, AfterAnOutageTheCurrentInvoiceShowsItsLinesAgain)
{
    insert(QStringLiteral("dettaglio"), {{"id_invio", second}, {"prog", 1}, {"descrizione", "riga di beta"}});
    auto rename = [](const char *from, const char *to) {
        xml->sql().exec(QStringLiteral("RENAME TABLE %1 TO %2").arg(QLatin1String(from), QLatin1String(to)));
    };
    // The server cannot give the tables: moving to the next invoice finds no lines.
    rename("testata", "testata_assente");
    rename("dettaglio", "dettaglio_assente");
    EXPECT_ANY_THROW(a().next());
    EXPECT_EQ(a().text(QStringLiteral("id_invio")), QString::number(second));
    EXPECT_EQ(diz->Detta.rowCount(), 0);
    QSignalSpy failed(&a(), &DbTable::refreshFailed), recovered(&a(), &DbTable::refreshRecovered);
    a().setRefreshInterval(50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return failed.count() > 0; }, 5000));
    rename("testata_assente", "testata");
    rename("dettaglio_assente", "dettaglio");
    EXPECT_TRUE(QTest::qWaitFor([&] { return recovered.count() > 0; }, 5000));
    a().setRefreshInterval(0);
    EXPECT_EQ(diz->Detta.rowCount(), 1);
    EXPECT_EQ(diz->Detta.text(QStringLiteral("descrizione")), QStringLiteral("riga di beta"));
}

} // namespace
