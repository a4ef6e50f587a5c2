// How a table object tells of its changes (row by row), re-reads in the background,
// lets editors refuse a row, nests transactions, walks rows quietly and undoes a
// command's own change; the errors it raises and the ways to read a column.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "data/db_own_change.h"
#include "data/db_quiet_walk.h"
#include "data/db_reread_diagnostics.h"
#include "data/db_transaction.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

namespace {

class TableChanges : public DataModuleTest {
protected:
    void SetUp() override
    {
        for (DbTable *t : diz->tables())
            t->setRefreshInterval(0);
        clearTables({"testata", "dettaglio", "clienti", "test_car", "test_dati", "dati_acquisto"});
        refreshTables();
    }
    void TearDown() override
    {
        diz->Testata.setRefreshInterval(10000);
        diz->Testa_Car.setRefreshInterval(5000);
        diz->Detta_Car.setRefreshInterval(5000);
    }

    int addInvoice(const QString &num)
    {
        const int id = insert(QStringLiteral("testata"), {{"num_doc", num}});
        insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", 1}, {"descrizione", "riga di " + num}});
        return id;
    }
    // Every notice of a table object, in order, as short texts ("changed 1", "reset", ...).
    struct Notices {
        QObject context;  // the connections end with the test
        QStringList seen;
        explicit Notices(DbTable &t)
        {
            QObject::connect(&t, &DbTable::rowsReset, &context, [this] { seen << QStringLiteral("reset"); });
            QObject::connect(&t, &DbTable::rowChanged, &context, [this](int r) { seen << QStringLiteral("changed %1").arg(r); });
            QObject::connect(&t, &DbTable::rowInserted, &context, [this](int r) { seen << QStringLiteral("inserted %1").arg(r); });
            QObject::connect(&t, &DbTable::rowRemoved, &context, [this](int r) { seen << QStringLiteral("removed %1").arg(r); });
            QObject::connect(&t, &DbTable::rowMoved, &context,
                             [this](int f, int to) { seen << QStringLiteral("moved %1 to %2").arg(f).arg(to); });
            QObject::connect(&t, &DbTable::currentRowChanged, &context, [this] { seen << QStringLiteral("current"); });
        }
        QStringList rows() const { return seen.filter(QRegularExpression(QStringLiteral("^(reset|changed|inserted|removed|moved)"))); }
    };
};

TEST_F(TableChanges, StoringInsertingMovingAndDeletingOneRowTellOfThatRowOnly)
{
    DbTable &t = diz->Clienti;  // kept in order of rag_soc
    for (const char *n : {"Bianchi", "Rossi", "Verdi"})
        insert(QStringLiteral("clienti"), {{"rag_soc", n}});
    t.refresh();
    Notices n(t);

    t.moveTo(1);
    t.setText(u"comune", QStringLiteral("Roma"));
    t.post();
    EXPECT_EQ(n.rows(), QStringList{"changed 1"});

    n.seen.clear();
    t.append();
    t.setText(u"rag_soc", QStringLiteral("Neri"));  // lands between Bianchi and Rossi
    t.post();
    EXPECT_EQ(n.rows(), QStringList{"inserted 1"});
    EXPECT_EQ(t.currentIndex(), 1);

    n.seen.clear();
    t.setText(u"rag_soc", QStringLiteral("Zeta"));  // Neri becomes the last by the order
    t.post();
    EXPECT_EQ(n.rows(), (QStringList{"moved 1 to 3", "changed 3"}));
    EXPECT_EQ(t.currentIndex(), 3);

    n.seen.clear();
    t.moveTo(0);
    t.remove();
    EXPECT_EQ(n.rows(), QStringList{"removed 0"});
    EXPECT_EQ(t.text(u"rag_soc"), QStringLiteral("Rossi"));
}

TEST_F(TableChanges, AReReadTellsOnlyTheRowsThatDifferAndKeepsTheCurrentRow)
{
    DbTable &t = diz->Testata;
    const int a = addInvoice("1"), b = addInvoice("2"), c = addInvoice("3");
    t.refresh();
    ASSERT_TRUE(t.locate(u"id_invio", b));
    Notices n(t);

    xml->sql().exec(QStringLiteral("DELETE FROM testata WHERE id_invio = ?"), {a});
    xml->sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = ?"), {c});
    const int d = addInvoice("4");
    t.refresh();
    EXPECT_EQ(n.rows(), (QStringList{"removed 0", "inserted 2", "changed 1"}));
    EXPECT_FALSE(n.seen.contains(QStringLiteral("current")));  // still invoice b, now at 0
    EXPECT_EQ(t.asInteger(u"id_invio"), b);
    EXPECT_EQ(t.currentIndex(), 0);
    EXPECT_EQ(t.rowCount(), 3);
    EXPECT_EQ(t.valueAt(2, t.fieldIndex(u"id_invio")).toInt(), d);

    n.seen.clear();
    t.refresh();  // nothing changed on the server: nothing to tell
    EXPECT_TRUE(n.seen.isEmpty()) << n.seen.join(u',').toStdString();
}

// A table kept in another order than its key (customers by name) is matched by key all
// the same: one row removed, one changed and one inserted are told as such, the rows the
// server returns unchanged are not, and the current row stays.
TEST_F(TableChanges, AReReadOfATableKeptInAnotherOrderThanItsKeyMatchesRowsByKey)
{
    DbTable &t = diz->Clienti;
    QList<int> ids;
    for (const char *name : {"DELTA", "BETA", "CHARLIE", "ALFA"})
        ids << insert(QStringLiteral("clienti"), {{"rag_soc", name}, {"comune", "Bologna"}});
    t.refresh();
    auto names = [&] {
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r)
            out << t.textAt(r, t.fieldIndex(u"rag_soc"));
        return out;
    };
    ASSERT_EQ(names(), (QStringList{"ALFA", "BETA", "CHARLIE", "DELTA"}));
    ASSERT_TRUE(t.locate(u"id", ids[1]));  // BETA
    Notices n(t);

    xml->sql().exec(QStringLiteral("DELETE FROM clienti WHERE id = ?"), {ids[2]});                  // CHARLIE
    xml->sql().exec(QStringLiteral("UPDATE clienti SET comune = 'Modena' WHERE id = ?"), {ids[0]});  // DELTA
    insert(QStringLiteral("clienti"), {{"rag_soc", "ECHO"}, {"comune", "Bologna"}});
    t.refresh();

    QStringList told = n.rows();
    told.sort();
    EXPECT_EQ(told, (QStringList{"changed 2", "inserted 3", "removed 2"})) << n.seen.join(u',').toStdString();
    EXPECT_FALSE(n.seen.contains(QStringLiteral("current")));
    EXPECT_EQ(names(), (QStringList{"ALFA", "BETA", "DELTA", "ECHO"}));
    EXPECT_EQ(t.asInteger(u"id"), ids[1]);
    EXPECT_EQ(t.textAt(2, t.fieldIndex(u"comune")), QStringLiteral("Modena"));

    n.seen.clear();
    t.refresh();  // nothing changed on the server: nothing to tell
    EXPECT_TRUE(n.seen.isEmpty()) << n.seen.join(u',').toStdString();
}

TEST_F(TableChanges, PeriodicReReadFetchesOffTheInterfaceThreadAndNeverOverwritesAPendingRow)
{
    DbTable &t = diz->Testa_Car;
    const int prot = insert(QStringLiteral("test_car"), {{"rag_soc", "primo"}});
    t.refresh();
    QList<QThread *> fetchedOn;
    DbRereadDiagnostics::setFetchObserver(t, [&] { fetchedOn << QThread::currentThread(); });
    t.setRefreshInterval(50);

    insert(QStringLiteral("test_car"), {{"rag_soc", "dall'esterno"}});
    ASSERT_TRUE(QTest::qWaitFor([&] { return t.rowCount() == 2; }, 5000));
    ASSERT_FALSE(fetchedOn.isEmpty());
    EXPECT_NE(fetchedOn.front(), QThread::currentThread());

    t.first();
    t.setText(u"rag_soc", QStringLiteral("mio"));
    xml->sql().exec(QStringLiteral("UPDATE test_car SET rag_soc = 'altrui', comune = 'Roma' WHERE prot = ?"), {prot});
    insert(QStringLiteral("test_car"), {{"rag_soc", "terzo"}});
    QTest::qWait(400);
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    EXPECT_EQ(t.text(u"rag_soc"), QStringLiteral("mio"));
    EXPECT_EQ(t.text(u"comune"), QString());
    EXPECT_EQ(t.rowCount(), 2);  // no re-read while the row is pending
    t.cancel();
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.rowCount() == 3; }, 5000));
    t.first();
    EXPECT_EQ(t.text(u"rag_soc"), QStringLiteral("altrui"));
    DbRereadDiagnostics::setFetchObserver(t, {});
}

// A table that goes (the program closing) while its background re-read is under way
// does not wait for the server to answer: the fetch is cut off and its rows never arrive.
TEST_F(TableChanges, ATableThatGoesCutsItsBackgroundReReadOff)
{
    insert(QStringLiteral("testata"), {{"num_doc", "1"}});
    // Quick while no customer is stored, afterwards a statement of 10 seconds (within the
    // connection's read time-out, so that only the wait itself could end it earlier).
    auto t = std::make_unique<DbTable>(diz->xml_conn, QStringLiteral("testata"));
    t->setSql(QStringLiteral("SELECT t.*, SLEEP(IF((SELECT COUNT(*) FROM clienti) > 0, 10, 0)) AS pausa FROM testata t"));
    t->open();
    ASSERT_EQ(t->rowCount(), 1);
    insert(QStringLiteral("clienti"), {{"rag_soc", "rallenta"}});
    std::atomic<bool> started{false};
    DbRereadDiagnostics::setFetchObserver(*t, [&started] { started = true; });
    bool applied = false;
    QObject::connect(t.get(), &DbTable::rowChanged, t.get(), [&applied] { applied = true; });
    t->rereadInBackground();

    const QString running = QStringLiteral("SELECT COUNT(*) FROM information_schema.processlist WHERE info LIKE '%SLEEP(IF%' "
                                           "AND info NOT LIKE '%processlist%'");
    ASSERT_TRUE(QTest::qWaitFor([&] { return started && count(running) == 1; }, 10000));
    t.reset();
    // Gone while the server is still running the statement.
    EXPECT_EQ(count(running), 1);
    EXPECT_FALSE(applied);
    const DbResult ids = xml->sql().select(QStringLiteral("SELECT id FROM information_schema.processlist WHERE info LIKE "
                                                          "'%SLEEP(IF%' AND info NOT LIKE '%processlist%'"));
    for (const DbRow &row : ids.rows)
        xml->sql().exec(QStringLiteral("KILL QUERY %1").arg(QString::fromUtf8(row.raw(0).toByteArray()).toLongLong()));
}

TEST_F(TableChanges, BeforePostHookRefusesTheRowOnEveryPathBeforeTheServer)
{
    DbTable &t = diz->Clienti;
    int asked = 0;
    const int hook = t.addBeforePostHook([&](DbTable &table) {
        ++asked;
        if (table.text(u"rag_soc").isEmpty())
            throw AppError(QStringLiteral("Mancanza Dati"));
    });
    insert(QStringLiteral("clienti"), {{"rag_soc", "Esistente"}});
    t.refresh();
    const struct {
        const char *path;
        std::function<void()> store;
    } paths[] = {
        {"post", [&] { t.post(); }},
        {"move", [&] { t.first(); }},
        {"another new row", [&] { t.append(); }},
        {"re-read", [&] { t.refresh(); }},
    };
    for (const auto &p : paths) {
        SCOPED_TRACE(p.path);
        t.append();
        t.setText(u"comune", QStringLiteral("Roma"));
        const int before = asked;
        try {
            p.store();
            ADD_FAILURE() << "not refused";
        } catch (const AppError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("Mancanza Dati"));
        }
        EXPECT_EQ(asked, before + 1);
        EXPECT_EQ(t.state(), DbTable::State::Insert);
        EXPECT_EQ(t.text(u"comune"), QStringLiteral("Roma"));
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 1);
        t.cancel();
    }
    t.append();
    t.setText(u"rag_soc", QStringLiteral("Nuovo"));
    t.post();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 2);
    t.removeBeforePostHook(hook);
    t.append();
    t.setText(u"comune", QStringLiteral("Roma"));
    EXPECT_NO_THROW(t.post());
}

TEST_F(TableChanges, NestedGuardsRollBackOnlyTheirOwnWorkOnASavepoint)
{
    DbTable &t = diz->Clienti;
    auto add = [&](const char *name) {
        t.append();
        t.setText(u"rag_soc", QString::fromLatin1(name));
        t.post();
    };
    {
        DbTransaction outer(diz->xml_conn, {&t});
        add("esterno 1");
        {
            DbTransaction inner(diz->xml_conn, {&t});
            add("interno");
        }  // rolled back
        EXPECT_TRUE(diz->xml_conn.inTransaction());
        add("esterno 2");
        {
            DbTransaction kept(diz->xml_conn, {&t});
            add("interno tenuto");
            kept.commit();
        }
        outer.commit();
    }
    EXPECT_FALSE(diz->xml_conn.inTransaction());
    EXPECT_EQ(stored(QStringLiteral("SELECT GROUP_CONCAT(rag_soc ORDER BY id) FROM clienti")),
              QStringLiteral("esterno 1,esterno 2,interno tenuto"));
    t.refresh();
    EXPECT_EQ(t.rowCount(), 3);
}

TEST_F(TableChanges, ALostTransactionDoomsTheOuterGuardAndLeavesNothingOnTheServer)
{
    DbTable &t = diz->Clienti;
    {
        DbTransaction outer(diz->xml_conn, {&t});
        t.append();
        t.setText(u"rag_soc", QStringLiteral("esterno"));
        t.post();
        {
            DbTransaction inner(diz->xml_conn, {&t});
            xml->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(diz->xml_conn.threadId()));
            t.append();
            t.setText(u"rag_soc", QStringLiteral("interno"));
            EXPECT_THROW(t.post(), DbError);
        }  // the inner rollback cannot reach its savepoint: the whole transaction is gone
        t.append();
        t.setText(u"rag_soc", QStringLiteral("dopo"));
        EXPECT_THROW(t.post(), DbError);  // not in autocommit behind the outer guard's back
        t.cancel();
        EXPECT_THROW(outer.commit(), DbError);
    }
    EXPECT_FALSE(diz->xml_conn.inTransaction());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
    EXPECT_TRUE(t.isEmpty());
    // The connection works again for the next command.
    t.append();
    t.setText(u"rag_soc", QStringLiteral("poi"));
    EXPECT_NO_THROW(t.post());
}

TEST_F(TableChanges, RollbackReReadsMastersBeforeDetailsWhateverTheOrderGiven)
{
    const int kept = addInvoice("1");
    diz->Testata.refresh();
    ASSERT_TRUE(diz->Testata.locate(u"id_invio", kept));
    {
        DbTransaction tx(diz->xml_conn, {&diz->ContrattoD, &diz->Detta, &diz->ContrattoT, &diz->Testata});
        diz->Testata.append();
        diz->Testata.setText(u"num_doc", QStringLiteral("2"));
        diz->Testata.post();
        diz->Detta.append();
        diz->Detta.setText(u"descrizione", QStringLiteral("nuova"));
        diz->Detta.post();
        diz->ContrattoT.append();
        diz->ContrattoT.setText(u"tipo", QStringLiteral("DatiContratto"));
        diz->ContrattoT.post();
        diz->ContrattoD.append();
        diz->ContrattoD.setText(u"id_documento", QStringLiteral("pendente"));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dati_acquisto")), 0);
    EXPECT_EQ(diz->Testata.asInteger(u"id_invio"), kept);
    ASSERT_EQ(diz->Detta.rowCount(), 1);
    EXPECT_EQ(diz->Detta.text(u"descrizione"), QStringLiteral("riga di 1"));
    EXPECT_TRUE(diz->ContrattoT.isEmpty());
    EXPECT_TRUE(diz->ContrattoD.isEmpty());
    EXPECT_FALSE(diz->ContrattoD.isEditing());
}

TEST_F(TableChanges, ADatabaseErrorKeepsTheServersTextAndCarriesTheStatement)
{
    diz->Query.setSql(QStringLiteral("UPDATE testata SET colonna_assente = ? WHERE id_invio = 1"));
    try {
        diz->Query.execSql({QStringLiteral("x'y")});
        FAIL() << "no error";
    } catch (const DbError &e) {
        EXPECT_EQ(e.code(), 1054u);
        EXPECT_TRUE(e.text().contains(QStringLiteral("colonna_assente"))) << e.text().toStdString();
        EXPECT_EQ(e.text(), e.serverText());
        EXPECT_EQ(e.statement(), QStringLiteral("UPDATE testata SET colonna_assente = 'x\\'y' WHERE id_invio = 1"));
        EXPECT_FALSE(e.isConnectionError());
    }
}

TEST_F(TableChanges, ColumnsAreReadByAnyStringViewAndAmountsByTheNamedReading)
{
    insert(QStringLiteral("testata"), {{"num_doc", "7"}, {"tot_doc", "1.234,50"}, {"spese", "12,5"}, {"arrot", ""}});
    DbTable &t = diz->Testata;
    t.refresh();
    EXPECT_EQ(t.text(u"num_doc"), QStringLiteral("7"));
    EXPECT_EQ(t.text("num_doc"), QStringLiteral("7"));
    EXPECT_EQ(t.text(QLatin1StringView("NUM_DOC")), QStringLiteral("7"));
    EXPECT_EQ(t.text(QStringLiteral("Num_Doc")), QStringLiteral("7"));
    EXPECT_EQ(t.amount(u"spese", AmountReading::Strict).toPlain(), QStringLiteral("12.5"));
    EXPECT_EQ(t.amount(u"tot_doc", AmountReading::Regional).toPlain(), QStringLiteral("1234.5"));
    try {
        t.amount(u"tot_doc", AmountReading::Strict);
        FAIL() << "the strict reading takes no thousands separator";
    } catch (const ConversionError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("'1.234,50' is not a valid floating point value"));
    }
    EXPECT_THROW(t.amount(u"arrot", AmountReading::Strict), ConversionError);
    EXPECT_TRUE(t.amountOr(u"arrot", AmountReading::Strict, Decimal()).isZero());
    EXPECT_TRUE(t.amountOr(u"imposta", AmountReading::Regional, Decimal()).isZero());  // NULL
}

TEST_F(TableChanges, AQuietWalkMovesNoScreenAndReturnsToTheCurrentRow)
{
    const int a = addInvoice("1"), b = addInvoice("2");
    addInvoice("3");
    DbTable &t = diz->Testata;
    t.refresh();
    ASSERT_TRUE(t.locate(u"id_invio", b));
    Notices n(t);
    QStringList linesSeen;
    {
        DbQuietWalk walk(t);
        for (t.first(); !t.eof(); t.next()) {
            // Details still follow the walked master.
            linesSeen << diz->Detta.text(u"descrizione");
            if (t.asInteger(u"id_invio") == a) {
                t.setValue(u"inviata", 1);
                t.post();
            }
        }
    }
    EXPECT_EQ(linesSeen, (QStringList{"riga di 1", "riga di 2", "riga di 3"}));
    EXPECT_EQ(n.seen, QStringList{"changed 0"});  // the stored row only; no move
    EXPECT_EQ(t.asInteger(u"id_invio"), b);
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(diz->Detta.text(u"descrizione"), QStringLiteral("riga di 2"));
}

TEST_F(TableChanges, ACommandsOwnChangeIsUndoneWhenItsStoreFails)
{
    const int id = addInvoice("1");
    DbTable &t = diz->Testata;
    t.refresh();
    ASSERT_TRUE(t.locate(u"id_invio", id));
    const int refuse = t.addBeforePostHook([](DbTable &) { throw AppError(QStringLiteral("rifiutata")); });
    auto command = [&] {
        DbOwnChange change(t);
        t.edit();
        t.setText(u"nome_file", QStringLiteral("IT0_00001.xml"));
        change.post();
    };
    // Browsing before the command: nothing is left pending.
    EXPECT_THROW(command(), AppError);
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    EXPECT_EQ(t.text(u"nome_file"), QString());

    // The user was editing: the row stays as the user left it, without the command's value.
    t.setText(u"num_doc", QStringLiteral("1/bis"));
    EXPECT_THROW(command(), AppError);
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    EXPECT_TRUE(t.isModified());
    EXPECT_EQ(t.text(u"num_doc"), QStringLiteral("1/bis"));
    EXPECT_EQ(t.text(u"nome_file"), QString());
    t.removeBeforePostHook(refuse);
    t.post();
    EXPECT_EQ(stored(QStringLiteral("SELECT CONCAT(num_doc, '|', IFNULL(nome_file, 'NULL')) FROM testata")),
              QStringLiteral("1/bis|NULL"));

    // A command that succeeds keeps its change.
    command();
    EXPECT_EQ(stored(QStringLiteral("SELECT nome_file FROM testata")), QStringLiteral("IT0_00001.xml"));
}

} // namespace
