// Rows that a table object inserts while a batch guard holds its table reach the server
// as one statement, before the connection's next other statement; a refused row is
// reported there, inside the same transaction, and a rollback drops what is held.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "data/db_insert_batch.h"
#include "data/db_transaction.h"

namespace {

class InsertBatch : public DataModuleTest {
protected:
    void SetUp() override
    {
        clearTables({"testata", "dettaglio"});
        refreshTables();
        id = insert(QStringLiteral("testata"), {{"num_doc", "1"}});
        diz->Testata.refresh();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
    }

    // INSERT statements this connection has sent so far (a multi-row one counts once).
    int insertsSent()
    {
        const DbResult r = diz->xml_conn.select(QStringLiteral("SHOW SESSION STATUS LIKE 'Com_insert'"));
        return QString::fromUtf8(r.rows.at(0).raw(1).toByteArray()).toInt();
    }
    void addLine(int prog, const QString &description)
    {
        diz->Detta.append();
        diz->Detta.setValue(QStringLiteral("id_invio"), id);
        diz->Detta.setValue(QStringLiteral("prog"), prog);
        diz->Detta.setText(QStringLiteral("descrizione"), description);
        diz->Detta.post();
    }

    int id = 0;
};

TEST_F(InsertBatch, TheRowsGoAsOneStatementBeforeTheNextOne)
{
    const int before = insertsSent();  // itself a statement: nothing is held yet
    {
        DbTransaction tx(diz->xml_conn, {&diz->Detta});
        DbInsertBatch batch(diz->xml_conn, QStringLiteral("dettaglio"));
        for (int prog = 1; prog <= 3; ++prog)
            addLine(prog, QStringLiteral("Riga %1 con 'apici' e (parentesi) VALUES (x)").arg(prog));
        EXPECT_EQ(diz->Detta.rowCount(), 3);  // the table object holds them at once
        // The next statement sends them first, as one INSERT.
        EXPECT_EQ(insertsSent(), before + 1);
        tx.commit();
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = ?"), {id}), 3);
    EXPECT_EQ(stored(QStringLiteral("SELECT descrizione FROM dettaglio WHERE prog = 2")),
              QStringLiteral("Riga 2 con 'apici' e (parentesi) VALUES (x)"));

    // Without a guard every row is a statement of its own.
    const int after = insertsSent();
    addLine(4, QStringLiteral("Riga 4"));
    addLine(5, QStringLiteral("Riga 5"));
    EXPECT_EQ(insertsSent(), after + 2);
}

// Rows that leave different columns out still go as one statement, in the order they
// came: a line is delivered where it was added, and a column a row left out holds what
// the server stores for it (NULL here), not an empty text.
TEST_F(InsertBatch, RowsNamingDifferentColumnsKeepTheirOrderAndDefaults)
{
    const int before = insertsSent();
    {
        DbTransaction tx(diz->xml_conn, {&diz->Detta});
        DbInsertBatch batch(diz->xml_conn, QStringLiteral("dettaglio"));
        for (int prog = 1; prog <= 4; ++prog) {
            diz->Detta.append();
            diz->Detta.setValue(QStringLiteral("id_invio"), id);
            diz->Detta.setValue(QStringLiteral("prog"), prog);
            if (prog % 2 == 0)
                diz->Detta.setText(QStringLiteral("sc_tipo"), QStringLiteral("SC"));
            else
                diz->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("Riga \\ 'a', (b)"));
            diz->Detta.post();
        }
        tx.commit();
    }
    EXPECT_EQ(insertsSent(), before + 1);
    const DbResult r = xml->sql().select(QStringLiteral("SELECT prog, sc_tipo, descrizione FROM dettaglio"));
    ASSERT_EQ(r.rows.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const DbRow &row = r.rows[size_t(i)];
        EXPECT_EQ(row.raw(0).toByteArray(), QByteArray::number(i + 1));
        EXPECT_EQ(row.isNull(1), i % 2 == 0) << i;
        EXPECT_EQ(row.isNull(2), i % 2 == 1) << i;
        if (i % 2 == 0) {
            EXPECT_EQ(QString::fromUtf8(row.raw(2).toByteArray()), QStringLiteral("Riga \\ 'a', (b)"));
        }
    }
}

TEST_F(InsertBatch, ARefusedRowIsReportedInsideTheTransactionWhichThenStoresNothing)
{
    xml->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS dettaglio_refuse"));
    xml->sql().exec(QStringLiteral("CREATE TRIGGER dettaglio_refuse BEFORE INSERT ON dettaglio FOR EACH ROW "
                                   "IF NEW.descrizione = 'rifiutata' THEN SIGNAL SQLSTATE '45000' "
                                   "SET MESSAGE_TEXT = 'riga rifiutata'; END IF"));
    try {
        DbTransaction tx(diz->xml_conn, {&diz->Testata, &diz->Detta});
        DbInsertBatch batch(diz->xml_conn, QStringLiteral("dettaglio"));
        addLine(1, QStringLiteral("buona"));
        addLine(2, QStringLiteral("rifiutata"));
        diz->Testata.edit();
        diz->Testata.setText(QStringLiteral("tot_doc"), QStringLiteral("1,00"));
        diz->Testata.post();  // its statement sends the lines first, and fails with them
        tx.commit();
        ADD_FAILURE() << "no error";
    } catch (const DbError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("riga rifiutata"))) << e.text().toStdString();
    }
    xml->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS dettaglio_refuse"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = ? AND tot_doc IS NULL"), {id}), 1);
    EXPECT_EQ(diz->Detta.rowCount(), 0);

    // A rollback drops the rows still held: nothing reaches the server afterwards.
    {
        DbTransaction tx(diz->xml_conn, {&diz->Detta});
        DbInsertBatch batch(diz->xml_conn, QStringLiteral("dettaglio"));
        addLine(1, QStringLiteral("annullata"));
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
}

} // namespace
