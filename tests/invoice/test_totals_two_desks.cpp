// Two desks on one server, each with its own data module and connection, working on one
// invoice: the totals are computed from the lines and header inputs as stored, under the
// invoice's lock, whatever either desk holds; new lines take distinct numbers; each desk
// shows the stored result afterwards.
#include "data/app_error.h"
#include "invoice/article_pick.h"
#include "invoice/calcola_totali.h"
#include "data_module_fixture.h"
#include "invoice/invoice_lock.h"
#include "invoice/testata_hooks.h"

namespace {

class TotalsTwoDesks : public DataModuleTest {
protected:
    static inline std::unique_ptr<TDiz> deskB;
    TDiz &a() { return *diz; }
    TDiz &b() { return *deskB; }
    int id = 0;

    static void SetUpTestSuite()
    {
        openDataModule({.beforeOpen = installTestataHooks});
        deskB = std::make_unique<TDiz>();
        installTestataHooks(*deskB);
        openDataModuleOn(*deskB);
    }
    static void TearDownTestSuite()
    {
        deskB.reset();
        closeDataModule();
    }

    // An invoice of one line of 1 × 25,50 at 22 %, with its totals, current on both desks.
    void SetUp() override
    {
        clearTables({"testata", "dettaglio", "magazzino"});
        id = insert(QStringLiteral("testata"), {{"num_doc", "7"}, {"spese", "0,00"}, {"spese2", "0,00"}, {"aliquota", "22"},
                                                {"imponibile", "25,50"}, {"imposta", "5,61"}, {"tot_doc", "31,11"}});
        addStoredLine(1, "25,50");
        for (TDiz *desk : {diz.get(), deskB.get()}) {
            desk->Testata.setRefreshInterval(0);
            desk->Testata.refresh();
            ASSERT_TRUE(desk->Testata.locate(QStringLiteral("id_invio"), id));
            desk->Detta.refresh();
            desk->Articoli.refresh();
        }
    }

    void addStoredLine(int prog, const char *total)
    {
        insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", prog}, {"quantita", "1,00"}, {"aliquota", "22"},
                                             {"prezzo_tot", total}, {"descrizione", "riga"}});
    }

    // A line added on a desk as the line editor adds it: under the lock, then the totals.
    static void addLine(TDiz &desk, const char *total)
    {
        const QVariant idInvio = desk.Testata.value(QStringLiteral("id_invio"));
        desk.xml_conn.begin();
        InvoiceLock::lock(desk.xml_conn, idInvio);
        const int prog = InvoiceLock::nextLineNumber(desk.xml_conn, idInvio);
        desk.Detta.append();
        desk.Detta.setValue(QStringLiteral("prog"), prog);
        desk.Detta.setText(QStringLiteral("quantita"), QStringLiteral("1,00"));
        desk.Detta.setText(QStringLiteral("aliquota"), QStringLiteral("22"));
        desk.Detta.setText(QStringLiteral("prezzo_tot"), QString::fromLatin1(total));
        desk.Detta.post();
        CalcolaTotali(desk);
        desk.xml_conn.commit();
    }

    QString storedColumn(const char *column)
    {
        return stored(QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ?").arg(QLatin1String(column)), {id});
    }
};

TEST_F(TotalsTwoDesks, ARecomputeOnADeskHoldingOldLinesCountsTheLinesAsStored)
{
    // B adds a line of 96,24; A, still holding the invoice's one old line, changes it and
    // recomputes.
    addLine(b(), "96,24");
    ASSERT_EQ(a().Detta.rowCount(), 1);
    a().Detta.setText(QStringLiteral("descrizione"), QStringLiteral("cambiata su A"));
    a().Detta.post();
    CalcolaTotali(a());

    EXPECT_EQ(storedColumn("imponibile"), QStringLiteral("121,74"));
    EXPECT_EQ(storedColumn("tot_doc"), QStringLiteral("148,52"));
    // A shows what is stored: both lines and their totals.
    EXPECT_EQ(a().Detta.rowCount(), 2);
    EXPECT_EQ(a().Testata.text(QStringLiteral("tot_doc")), QStringLiteral("148,52"));
}

TEST_F(TotalsTwoDesks, LinesAddedOnTwoDesksTakeDistinctNumbers)
{
    // Both desks hold the one line 1; each picks an article.
    insert(QStringLiteral("magazzino"), {{"descrizione", "Vite"}, {"codice_val", "V1"}, {"um", "PZ"},
                                         {"prezzo_unit", "2,00"}, {"prezzo_tot", "2,00"}, {"aliquota", "22"}});
    for (TDiz *desk : {diz.get(), deskB.get()}) {
        desk->Articoli.refresh();
        desk->Articoli.first();
    }
    PickArticle(a());
    PickArticle(b());
    EXPECT_EQ(stored(QStringLiteral("SELECT GROUP_CONCAT(prog ORDER BY prog) FROM dettaglio WHERE id_invio = ?"), {id}),
              QStringLiteral("1,2,3"));
    EXPECT_EQ(storedColumn("imponibile"), QStringLiteral("29,50"));
    EXPECT_EQ(b().Testata.text(QStringLiteral("imponibile")), QStringLiteral("29,50"));
    EXPECT_EQ(b().Detta.rowCount(), 3);
}

TEST_F(TotalsTwoDesks, AHeaderDiscountStoredOnOneDeskIsKeptByTheOthersRecompute)
{
    a().Testata.setText(QStringLiteral("sc_tipo"), QStringLiteral("SC"));
    a().Testata.setText(QStringLiteral("sc_perc"), QStringLiteral("10"));
    CalcolaTotali(a());
    EXPECT_EQ(storedColumn("sc_importo"), QStringLiteral("2,55"));
    EXPECT_EQ(storedColumn("tot_doc"), QStringLiteral("28,00"));

    // B read the header before the discount and recomputes after adding a line.
    addLine(b(), "74,50");
    EXPECT_EQ(storedColumn("sc_perc"), QStringLiteral("10"));
    EXPECT_EQ(storedColumn("sc_importo"), QStringLiteral("10,00"));
    EXPECT_EQ(storedColumn("tot_doc"), QStringLiteral("109,80"));
    EXPECT_EQ(b().Testata.text(QStringLiteral("sc_perc")), QStringLiteral("10"));
    EXPECT_EQ(b().Testata.text(QStringLiteral("tot_doc")), QStringLiteral("109,80"));
}

TEST_F(TotalsTwoDesks, ARecomputeWaitsForTheDeskThatHoldsTheInvoice)
{
    a().xml_conn.exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 1"));
    b().xml_conn.begin();
    InvoiceLock::lock(b().xml_conn, id);
    try {
        CalcolaTotali(a());
        ADD_FAILURE() << "computed while another desk held the invoice";
    } catch (const DbError &e) {
        EXPECT_EQ(e.code(), 1205u) << e.text().toStdString();  // lock wait timeout
    }
    b().xml_conn.rollback();
    a().xml_conn.exec(QStringLiteral("SET SESSION innodb_lock_wait_timeout = DEFAULT"));
    EXPECT_NO_THROW(CalcolaTotali(a()));
}

TEST_F(TotalsTwoDesks, ARecomputeOfAnInvoiceDeletedOnAnotherDeskIsRefused)
{
    b().xml_conn.exec(QStringLiteral("DELETE FROM dettaglio WHERE id_invio = ?"), {id});
    b().xml_conn.exec(QStringLiteral("DELETE FROM testata WHERE id_invio = ?"), {id});
    try {
        CalcolaTotali(a());
        ADD_FAILURE() << "no error";
    } catch (const AppError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("La fattura è stata eliminata su un'altra postazione"));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 0);
}

} // namespace
