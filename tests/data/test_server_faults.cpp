// The data layer when the server stops, goes away or freezes: no cleanup terminates the
// program, commands and periodic re-reads find the server again by themselves, a frozen
// server costs a statement its time-out and no more, and the user reads why in Italian.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "data/db_own_change.h"
#include "data/db_transaction.h"
#include "test_server.h"

#include <QElapsedTimer>
#include <optional>
#include <QTest>

namespace {

class ServerFaults : public DataModuleTest {
protected:
    void SetUp() override
    {
        for (DbTable *t : diz->tables())
            t->setRefreshInterval(0);
        clearTables({"testata", "dettaglio", "clienti", "test_car", "dett_car"});
        refreshTables();
    }
    void TearDown() override
    {
        diz->Testata.setRefreshInterval(10000);
        diz->Testa_Car.setRefreshInterval(5000);
        diz->Detta_Car.setRefreshInterval(5000);
    }
    static QString errorOf(const std::function<void()> &command)
    {
        try {
            command();
        } catch (const AppError &e) {
            return e.text();
        }
        return QString();
    }
};

TEST_F(ServerFaults, AGuardRollingBackAPendingHeaderWithTheServerGoneDoesNotTerminate)
{
    const int id = insert(QStringLiteral("testata"), {{"num_doc", "1"}});
    insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"descrizione", "riga"}});
    diz->Testata.refresh();
    {
        std::optional<TestServer::Stopped> stopped;
        {
            DbTransaction tx(diz->xml_conn, {&diz->Testata, &diz->Detta, &diz->ContrattoT, &diz->ContrattoD});
            diz->Testata.append();  // the new header has no lines: dropping it moves Detta back to invoice 1
            diz->Testata.setText(u"num_doc", QStringLiteral("2"));
            stopped.emplace();
        }  // the lines of invoice 1 cannot be read now; the guard's cleanup must swallow that
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        EXPECT_EQ(diz->Testata.asInteger(u"id_invio"), id);
        EXPECT_TRUE(diz->Detta.isEmpty());  // never the rows of another invoice
        stopped->start();
    }
    diz->Detta.refresh();
    ASSERT_EQ(diz->Detta.rowCount(), 1);
    EXPECT_EQ(diz->Detta.text(u"descrizione"), QStringLiteral("riga"));
}

TEST_F(ServerFaults, CommandsWorkAgainAfterAFailedReconnectionOnceTheServerIsBack)
{
    {
        TestServer::Stopped stopped;
        for (int attempt = 0; attempt < 2; ++attempt) {
            const QString text = errorOf([&] { diz->Clienti.refresh(); });
            EXPECT_TRUE(text.startsWith(QStringLiteral("Connessione al server del database non riuscita.\n")))
                << text.toStdString();
            EXPECT_GT(text.size(), 60) << "the server's own text follows";
        }
        stopped.start();
    }
    EXPECT_NO_THROW(diz->Clienti.refresh());
    diz->Clienti.append();
    diz->Clienti.setText(u"rag_soc", QStringLiteral("dopo il riavvio"));
    EXPECT_NO_THROW(diz->Clienti.post());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 1);
}

TEST_F(ServerFaults, AFailingReReadIsReportedOnceRetriedAndResumesSilently)
{
    QStringList reported;
    QObject context;
    QObject::connect(diz.get(), &TDiz::backgroundError, &context, [&](const QString &text) { reported << text; });
    diz->Testa_Car.setRefreshInterval(100);
    diz->Detta_Car.setRefreshInterval(100);
    {
        TestServer::Stopped stopped;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reported.isEmpty(); }, 10000));
        QTest::qWait(800);  // several intervals of both tables
        EXPECT_EQ(reported.size(), 1) << reported.join(u'|').toStdString();
        EXPECT_TRUE(reported.value(0).startsWith(QStringLiteral("Connessione al server del database")))
            << reported.value(0).toStdString();
        EXPECT_TRUE(diz->Testa_Car.isRefreshFailing());
        stopped.start();
    }
    insert(QStringLiteral("test_car"), {{"rag_soc", "caricata dallo script"}});
    insert(QStringLiteral("dett_car"), {{"prot_car", 1}, {"descrizione", "riga"}});
    EXPECT_TRUE(QTest::qWaitFor([&] { return diz->Testa_Car.rowCount() == 1 && diz->Detta_Car.rowCount() == 1; }, 10000));
    EXPECT_FALSE(diz->Testa_Car.isRefreshFailing());
    EXPECT_EQ(reported.size(), 1);
}

TEST_F(ServerFaults, AFrozenServerCostsAStatementItsTimeOutAndNoMore)
{
    DbConnection &conn = diz->xml_conn;
    const DbConnectionSettings before = conn.settings();
    diz->setStatementTimeouts(1);
    EXPECT_EQ(diz->Dati.readTimeout(), 1);
    EXPECT_EQ(diz->Dati.writeTimeout(), 1);
    conn.setConnectTimeout(1);
    conn.close();  // the time-outs take effect at the next connection
    conn.open();
    diz->openTables();
    {
        TestServer::Paused paused;
        QElapsedTimer clock;
        clock.start();
        const QString text = errorOf([&] { diz->Testata.refresh(); });
        EXPECT_LT(clock.elapsed(), 8000);
        EXPECT_TRUE(text.startsWith(QStringLiteral("Connessione al server del database"))) << text.toStdString();
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    }
    EXPECT_NO_THROW(diz->Testata.refresh());
    conn.close();
    conn.setSettings(before);
    conn.open();
    diz->openTables();
}

TEST_F(ServerFaults, AFailedStoreLeavesNoPendingChangeOfTheCommand)
{
    const int id = insert(QStringLiteral("testata"), {{"num_doc", "1"}});
    diz->Testata.refresh();
    ASSERT_TRUE(diz->Testata.locate(u"id_invio", id));
    xml->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(diz->xml_conn.threadId()));
    const QString text = errorOf([&] {
        DbOwnChange change(diz->Testata);
        diz->Testata.edit();
        diz->Testata.setText(u"nome_file", QStringLiteral("IT01234567890_00001.xml"));
        change.post();
    });
    EXPECT_TRUE(text.startsWith(QStringLiteral("Connessione al server del database interrotta.\n"))) << text.toStdString();
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(diz->Testata.text(u"nome_file"), QString());
    // The user's next move stores nothing of it.
    diz->Testata.first();
    EXPECT_EQ(stored(QStringLiteral("SELECT IFNULL(nome_file, 'NULL') FROM testata")), QStringLiteral("NULL"));
}

} // namespace
