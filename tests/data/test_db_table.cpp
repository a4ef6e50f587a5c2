// Table objects and the data module against the private test server.
#include "data/app_error.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "test_db.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class DataModule : public ::testing::Test {
protected:
    ScratchDatabase db;
    TDiz diz;

    void SetUp() override { openDizOn(diz, db); }

    int addInvoice(const QString &num)
    {
        diz.Testata.append();
        diz.Testata.setText(QStringLiteral("num_doc"), num);
        diz.Testata.post();
        return diz.Testata.asInteger(QStringLiteral("id_invio"));
    }
    int count(const QString &sql) { return db.sql().select(sql).rows.at(0).raw(0).toInt(); }
};

TEST_F(DataModule, SchemaHasTheTenTablesWithTheirColumnsInOrder)
{
    const DbResult r = db.sql().select(QStringLiteral(
        "SELECT table_name, COUNT(*) FROM information_schema.columns WHERE table_schema = DATABASE() "
        "GROUP BY table_name ORDER BY table_name"));
    std::map<std::string, int> cols;
    for (const DbRow &row : r.rows)
        cols[row.raw(0).toByteArray().toStdString()] = row.raw(1).toInt();
    const std::map<std::string, int> expected{{"azienda", 19}, {"clienti", 15}, {"dati_acquisto", 9}, {"dett_car", 17},
                                          {"dettaglio", 20}, {"fornitori", 11}, {"magazzino", 17}, {"test_car", 46},
                                          {"test_dati", 2}, {"testata", 69},
                                          // the exchange system's answers, written by the service
                                          {"notifiche_sdi", 12}};
    EXPECT_EQ(cols, expected);
    for (DbTable *t : diz.tables())
        EXPECT_TRUE(t->isOpen()) << t->objectName().toStdString();
    EXPECT_EQ(diz.Testata.fields().at(0).name, QStringLiteral("id_invio"));
    EXPECT_EQ(diz.Testata.field(QStringLiteral("nome_file")).width, 25);
}

TEST_F(DataModule, StateTransitionsAndAutoIncrementKey)
{
    DbTable &t = diz.Clienti;
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    EXPECT_TRUE(t.eof() && t.bof());
    t.append();
    EXPECT_EQ(t.state(), DbTable::State::Insert);
    EXPECT_TRUE(t.isNull(QStringLiteral("id")));
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("Rossi"));
    t.post();
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    const int id = t.asInteger(QStringLiteral("id"));
    EXPECT_GT(id, 0);
    EXPECT_EQ(count(QStringLiteral("SELECT id FROM clienti WHERE rag_soc='Rossi'")), id);

    t.edit();
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    t.setText(QStringLiteral("comune"), QStringLiteral("Roma"));
    t.cancel();
    EXPECT_EQ(t.text(QStringLiteral("comune")), QString());
    t.setText(QStringLiteral("comune"), QStringLiteral("Roma"));  // setting puts the row into editing
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    t.post();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti WHERE comune='Roma'")), 1);
    t.remove();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
}

TEST_F(DataModule, MovingAwayPostsAChangedRowAndDropsAnUnchangedOne)
{
    DbTable &t = diz.Fornitori;
    t.append();
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("B"));
    t.post();
    t.append();  // nothing typed: dropped when moving away
    t.first();
    EXPECT_EQ(t.rowCount(), 1);
    t.append();
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("A"));
    t.first();   // changed: posted first
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.text(QStringLiteral("rag_soc")), QStringLiteral("A"));
    t.edit();
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("C"));
    t.close();   // closing drops it
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM fornitori WHERE rag_soc='C'")), 0);
}

TEST_F(DataModule, NullAndEmptyTextDiffer)
{
    diz.AziendaT.append();
    diz.AziendaT.setText(QStringLiteral("rag_soc"), QString(""));
    diz.AziendaT.setText(QStringLiteral("p_iva"), QStringLiteral("x"));
    diz.AziendaT.post();
    EXPECT_TRUE(diz.AziendaT.isNull(QStringLiteral("mail")));
    EXPECT_EQ(diz.AziendaT.text(QStringLiteral("mail")), QString());
    EXPECT_FALSE(diz.AziendaT.value(QStringLiteral("mail")).isValid());
    EXPECT_FALSE(diz.AziendaT.isNull(QStringLiteral("rag_soc")));
    EXPECT_EQ(diz.AziendaT.asString(QStringLiteral("rag_soc")), QString());
    try {
        diz.AziendaT.asString(QStringLiteral("mail"));
        FAIL() << "no error";
    } catch (const ConversionError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Could not convert variant of type (Null) into type (String)"));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM azienda WHERE rag_soc = '' AND mail IS NULL")), 1);
}

TEST_F(DataModule, LongTextIsCutToItsColumn)
{
    const QString seventy(70, QLatin1Char('x'));
    diz.Clienti.append();
    diz.Clienti.setText(QStringLiteral("rag_soc"), seventy + QStringLiteral("àè"));
    diz.Clienti.setText(QStringLiteral("cap"), QStringLiteral("001234"));
    diz.Clienti.post();
    EXPECT_EQ(diz.Clienti.text(QStringLiteral("rag_soc")), QString(60, QLatin1Char('x')));
    diz.Clienti.refresh();
    EXPECT_EQ(diz.Clienti.text(QStringLiteral("rag_soc")), QString(60, QLatin1Char('x')));
    EXPECT_EQ(diz.Clienti.text(QStringLiteral("cap")), QStringLiteral("00123"));
}

TEST_F(DataModule, TextIsCutToItsColumnByCharactersNeverInsideOne)
{
    const QString emoji = QStringLiteral("\U0001F600");  // one character, two UTF-16 units
    const struct {
        const char *what;
        QString typed;
        QString kept;
    } cases[] = {
        {"six characters outside the basic plane into five", emoji.repeated(6), emoji.repeated(5)},
        {"mixed, the cut falling after one", QStringLiteral("ab") + emoji + QStringLiteral("cde"), QStringLiteral("ab") + emoji + QStringLiteral("cd")},
        {"accented letters count one each", QStringLiteral("àèìòùé"), QStringLiteral("àèìòù")},
        {"fits exactly", emoji.repeated(5), emoji.repeated(5)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        diz.Clienti.append();
        diz.Clienti.setText(QStringLiteral("cap"), c.typed);  // text 5
        EXPECT_EQ(diz.Clienti.text(QStringLiteral("cap")), c.kept);
        diz.Clienti.post();
        const DbResult r = db.sql().select(QStringLiteral("SELECT cap, CHAR_LENGTH(cap) FROM clienti WHERE id = ?"),
                                           {diz.Clienti.asInteger(QStringLiteral("id"))});
        EXPECT_EQ(QString::fromUtf8(r.rows.at(0).raw(0).toByteArray()), c.kept);
        EXPECT_FALSE(QString::fromUtf8(r.rows.at(0).raw(0).toByteArray()).contains(QChar::ReplacementCharacter));
    }
}

TEST_F(DataModule, DetailsFollowTheirMasterAndAppendedRowsTakeTheLink)
{
    const int a = addInvoice(QStringLiteral("1"));
    EXPECT_TRUE(diz.Detta.isEmpty());   // an invoice without lines
    diz.Detta.append();
    diz.Detta.setText(QStringLiteral("descrizione"), QStringLiteral("riga A"));
    diz.Detta.post();
    EXPECT_EQ(diz.Detta.asInteger(QStringLiteral("id_invio")), a);
    diz.ContrattoT.append();
    diz.ContrattoT.setText(QStringLiteral("tipo"), QStringLiteral("DatiOrdineAcquisto"));
    diz.ContrattoT.post();
    diz.ContrattoD.append();
    diz.ContrattoD.setText(QStringLiteral("id_documento"), QStringLiteral("ORD1"));
    diz.ContrattoD.post();
    diz.ContrattoT.append();
    diz.ContrattoT.setText(QStringLiteral("tipo"), QStringLiteral("DatiContratto"));
    diz.ContrattoT.post();
    EXPECT_TRUE(diz.ContrattoD.isEmpty());   // the new group has no documents yet
    diz.ContrattoD.append();
    diz.ContrattoD.setText(QStringLiteral("id_documento"), QStringLiteral("CTR1"));
    diz.ContrattoD.post();
    EXPECT_EQ(diz.ContrattoD.text(QStringLiteral("tipo")), QStringLiteral("DatiContratto"));

    const int b = addInvoice(QStringLiteral("2"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(diz.Detta.isEmpty());
    EXPECT_TRUE(diz.ContrattoT.isEmpty());
    EXPECT_TRUE(diz.ContrattoD.isEmpty());

    diz.Testata.first();
    EXPECT_EQ(diz.Detta.rowCount(), 1);
    EXPECT_EQ(diz.Detta.text(QStringLiteral("descrizione")), QStringLiteral("riga A"));
    EXPECT_EQ(diz.ContrattoT.rowCount(), 2);
    ASSERT_TRUE(diz.ContrattoT.locate(QStringLiteral("tipo"), QStringLiteral("DatiOrdineAcquisto")));
    EXPECT_EQ(diz.ContrattoD.text(QStringLiteral("id_documento")), QStringLiteral("ORD1"));
    ASSERT_TRUE(diz.ContrattoT.locate(QStringLiteral("tipo"), QStringLiteral("DatiContratto")));
    EXPECT_EQ(diz.ContrattoD.text(QStringLiteral("id_documento")), QStringLiteral("CTR1"));
    EXPECT_EQ(diz.ContrattoD.rowCount(), 1);
}

// A master row stored new inside an open transaction has nothing under its key: its
// detail tables are emptied without asking the server. Outside a transaction, and once
// the master has moved, they are read as always.
TEST_F(DataModule, AMasterRowStoredNewInAnOpenTransactionHasItsDetailsEmptiedWithoutAQuery)
{
    auto selects = [&] {
        const DbResult r = diz.xml_conn.select(QStringLiteral("SHOW SESSION STATUS LIKE 'Com_select'"));
        return r.rows.at(0).raw(1).toInt();
    };
    auto nextKey = [&] {
        return count(QStringLiteral("SELECT AUTO_INCREMENT FROM information_schema.tables "
                                    "WHERE table_schema = DATABASE() AND table_name = 'testata'"));
    };
    // Outside a transaction a line already stored under the new key is read.
    db.sql().exec(QStringLiteral("INSERT INTO dettaglio (id_invio, descrizione) VALUES (?, 'orfana')"), {nextKey()});
    addInvoice(QStringLiteral("1"));
    ASSERT_EQ(diz.Detta.rowCount(), 1);
    EXPECT_EQ(diz.Detta.text(QStringLiteral("descrizione")), QStringLiteral("orfana"));

    DbTransaction tx(diz.xml_conn, {&diz.Detta, &diz.Testata});
    const int before = selects();
    const int b = addInvoice(QStringLiteral("2"));
    EXPECT_EQ(selects() - before, 0);
    EXPECT_TRUE(diz.Detta.isEmpty());
    EXPECT_TRUE(diz.ContrattoT.isEmpty());
    diz.Detta.append();
    diz.Detta.setText(QStringLiteral("descrizione"), QStringLiteral("riga B"));
    diz.Detta.post();
    diz.Testata.first();
    ASSERT_TRUE(diz.Testata.locate(QStringLiteral("id_invio"), b));
    ASSERT_EQ(diz.Detta.rowCount(), 1);
    EXPECT_EQ(diz.Detta.text(QStringLiteral("descrizione")), QStringLiteral("riga B"));
    tx.commit();
}

TEST_F(DataModule, PresentedOrderIsKeptWhateverTheFetchOrder)
{
    for (const char *n : {"Zeta", "alfa", "Beta"}) {
        diz.Clienti.append();
        diz.Clienti.setText(QStringLiteral("rag_soc"), QString::fromLatin1(n));
        diz.Clienti.post();
    }
    auto names = [&] {
        QStringList out;
        for (diz.Clienti.first(); !diz.Clienti.eof(); diz.Clienti.next())
            out << diz.Clienti.text(QStringLiteral("rag_soc"));
        return out;
    };
    EXPECT_EQ(names(), (QStringList{"alfa", "Beta", "Zeta"}));
    diz.Clienti.setSql(QStringLiteral("SELECT * FROM clienti ORDER BY rag_soc DESC"));
    diz.Clienti.open();
    EXPECT_EQ(names(), (QStringList{"alfa", "Beta", "Zeta"}));
}

TEST_F(DataModule, ReplacedStatementStaysInForceForEveryUser)
{
    for (const char *n : {"Rossi", "Bianchi"}) {
        diz.Clienti.append();
        diz.Clienti.setText(QStringLiteral("rag_soc"), QString::fromLatin1(n));
        diz.Clienti.post();
    }
    diz.Clienti.setSql(QStringLiteral("SELECT * FROM clienti WHERE rag_soc LIKE 'R%'"));
    diz.Clienti.open();
    EXPECT_EQ(diz.Clienti.rowCount(), 1);
    diz.Clienti.refresh();
    EXPECT_EQ(diz.Clienti.rowCount(), 1);
    diz.Clienti.close();
    diz.Clienti.open();   // another screen opening the shared object sees the same filter
    EXPECT_EQ(diz.Clienti.rowCount(), 1);
    EXPECT_EQ(diz.Clienti.text(QStringLiteral("rag_soc")), QStringLiteral("Rossi"));
}

TEST_F(DataModule, PeriodicReReadShowsOutsideRowsButNotWhileEditing)
{
    DbTable &t = diz.Testa_Car;
    t.setRefreshInterval(50);
    t.append();
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("mine"));
    db.sql().exec(QStringLiteral("INSERT INTO test_car (rag_soc) VALUES ('outside 1')"));
    QTest::qWait(300);
    EXPECT_EQ(t.rowCount(), 0);   // still inserting: no re-read
    EXPECT_EQ(t.state(), DbTable::State::Insert);
    t.post();
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.rowCount() == 2; }, 3000));
    db.sql().exec(QStringLiteral("INSERT INTO test_car (rag_soc) VALUES ('outside 2')"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return t.rowCount() == 3; }, 3000));
}

TEST_F(DataModule, FailedPeriodicReReadIsReportedOnceAndRetried)
{
    QStringList reported;
    QObject::connect(&diz, &TDiz::backgroundError, [&](const QString &text) { reported << text; });
    diz.Detta_Car.setRefreshInterval(50);
    db.sql().exec(QStringLiteral("DROP TABLE dett_car"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reported.isEmpty(); }, 3000));
    QTest::qWait(300);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_TRUE(reported[0].contains(QStringLiteral("dett_car"))) << reported[0].toStdString();
}

TEST_F(DataModule, MissingTableOrColumnRaisesTheServersError)
{
    DbTable missing(diz.xml_conn, QStringLiteral("nessuna"));
    try {
        missing.open();
        FAIL();
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("nessuna"))) << e.text().toStdString();
        EXPECT_EQ(e.code(), 1146u);
    }
    EXPECT_FALSE(missing.isOpen());
    DbTable bad(diz.xml_conn, QStringLiteral("clienti"));
    bad.setSql(QStringLiteral("SELECT colonna_assente FROM clienti"));
    EXPECT_THROW(bad.open(), DbError);
}

TEST_F(DataModule, UpdateAndDeleteOfAKeylessTableTouchOneRowOnly)
{
    for (int i = 0; i < 2; ++i)
        db.sql().exec(QStringLiteral("INSERT INTO dett_car (prot_car, prog, descrizione) VALUES (7, 1, 'uguale')"));
    diz.Detta_Car.refresh();
    ASSERT_EQ(diz.Detta_Car.rowCount(), 2);
    diz.Detta_Car.first();
    diz.Detta_Car.setText(QStringLiteral("descrizione"), QStringLiteral("cambiata"));
    diz.Detta_Car.post();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dett_car WHERE descrizione='cambiata'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dett_car WHERE descrizione='uguale'")), 1);
    diz.Detta_Car.last();
    diz.Detta_Car.remove();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dett_car")), 1);
    // A row changed behind our back is not silently left alone.
    db.sql().exec(QStringLiteral("UPDATE dett_car SET descrizione='altro'"));
    diz.Detta_Car.first();
    diz.Detta_Car.setText(QStringLiteral("um"), QStringLiteral("PZ"));
    EXPECT_THROW(diz.Detta_Car.post(), DbError);
    EXPECT_EQ(diz.Detta_Car.state(), DbTable::State::Edit);
}

TEST_F(DataModule, RolledBackTransactionLeavesTablesAsTheServer)
{
    const int kept = addInvoice(QStringLiteral("1"));
    {
        DbTransaction tx(diz.xml_conn, {&diz.Testata, &diz.Detta});
        addInvoice(QStringLiteral("2"));
        diz.Detta.append();
        diz.Detta.setText(QStringLiteral("descrizione"), QStringLiteral("x"));
        diz.Detta.post();
        EXPECT_EQ(diz.Testata.rowCount(), 2);
        diz.Detta.append();   // still pending when the work is abandoned: must not be saved
        diz.Detta.setText(QStringLiteral("descrizione"), QStringLiteral("pending"));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
    EXPECT_EQ(diz.Testata.rowCount(), 1);
    EXPECT_EQ(diz.Testata.asInteger(QStringLiteral("id_invio")), kept);
    EXPECT_TRUE(diz.Detta.isEmpty());
    {
        DbTransaction tx(diz.xml_conn, {&diz.Testata});
        addInvoice(QStringLiteral("3"));
        tx.commit();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 2);
}

TEST_F(DataModule, LostConnectionIsReportedThenReconnected)
{
    const unsigned long id = diz.xml_conn.threadId();
    db.sql().exec(QStringLiteral("KILL CONNECTION %1").arg(id));
    try {
        diz.Testata.refresh();
        FAIL() << "no error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.isConnectionError());
        EXPECT_TRUE(e.text().startsWith(QStringLiteral("Connessione al server del database interrotta.\n")));
        EXPECT_TRUE(e.text().endsWith(e.serverText()));
    }
    EXPECT_NO_THROW(diz.Testata.refresh());
    EXPECT_NE(diz.xml_conn.threadId(), id);
}

TEST_F(DataModule, AConnectionIdleWhileTheServerDroppedItIsReplacedBeforeTheNextCommand)
{
    const unsigned long id = diz.xml_conn.threadId();
    db.sql().exec(QStringLiteral("KILL CONNECTION %1").arg(id));
    QTest::qWait(1200);  // idle long enough to be checked before use
    EXPECT_NO_THROW(diz.Testata.refresh());
    EXPECT_NE(diz.xml_conn.threadId(), id);
}

TEST_F(DataModule, ValuesReachTheServerEscaped)
{
    const QString nasty = QStringLiteral("O'Brien \\\"; DROP TABLE clienti; -- ?");
    diz.Clienti.append();
    diz.Clienti.setText(QStringLiteral("rag_soc"), nasty);
    diz.Clienti.post();
    diz.Clienti.refresh();
    EXPECT_EQ(diz.Clienti.text(QStringLiteral("rag_soc")), nasty);
    EXPECT_EQ(db.sql().select(QStringLiteral("SELECT id FROM clienti WHERE rag_soc = ?"), {nasty}).rows.size(), 1u);
}

} // namespace
