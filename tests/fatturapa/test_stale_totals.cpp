// The XML writers refuse an invoice whose stored totals are not those its stored lines and
// header inputs give (changed on the server behind the program's back, a line stored
// without a recompute): no file, no new file name, an earlier file untouched. After a
// recompute the file is written, with the recomputed totals.
#include "invoice/calcola_totali.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "invoice/stored_totals.h"
#include "fatturapa/xml_forms.h"
#include "xml_writer_fixture.h"

#include <functional>

namespace {

using XmlTest::containsSequence;
using XmlTest::readFile;
using Writer = void (*)(TDiz &, const QString &);

const QString FileName = QStringLiteral("IT01234567890_00042.xml");

class StaleTotals : public XmlWriterTest {
protected:
    // Invoice 42 with one line of 100,00 and one of 50,00 at 22 %, its totals stored by the
    // program's own computation (183,00), and its earlier file and name.
    int addRecomputedInvoice()
    {
        const int id = addInvoice({{"id_invio", 42}, {"nome_file", "old.xml"}});
        addLine(id);
        addLine(id, {{"descrizione", "Trasferta"}, {"prezzo_unit", "50,000"}, {"prezzo_tot", "50,000"}});
        storeTotals(id);
        QFile earlier(folder() + FileName);
        EXPECT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier file\r\n");
        return id;
    }

    QString storedText(int id, const QString &column)
    {
        const DbResult r = db->sql().select(
            QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ?").arg(DbConnection::quoteName(column)), {id});
        return r.rows.at(0).isNull(0) ? QString() : QString::fromUtf8(r.rows.at(0).raw(0).toByteArray());
    }

    static QString errorOf(const std::function<void()> &run)
    {
        try {
            run();
        } catch (const AppError &e) {
            return e.text();
        }
        return {};
    }

    // The writer refuses with the message naming `columns`, and nothing is written or stored.
    void expectRefused(Writer writer, int id, const QStringList &columns)
    {
        select(id);
        EXPECT_EQ(errorOf([&] { writer(*diz, QStringLiteral("A")); }), StoredTotals::mismatchMessage(columns));
        EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
        EXPECT_EQ(diz->Testata.text(QStringLiteral("nome_file")), QStringLiteral("old.xml"));
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        EXPECT_EQ(readFile(folder() + FileName), QByteArray("earlier file\r\n"));
        EXPECT_EQ(filesInFolder(), QStringList{FileName});
    }
};

TEST_F(StaleTotals, TheMessageSaysTheTotalsDoNotMatchTheLinesAndToRecompute)
{
    EXPECT_EQ(StoredTotals::mismatchMessage({QStringLiteral("tot_doc"), QStringLiteral("imponibile")}),
              QStringLiteral("I totali memorizzati della fattura non corrispondono alle sue righe: ricalcolare i totali "
                             "(ad esempio premendo \"Registra\" sulla fattura) e creare di nuovo il file XML.\n"
                             "Colonne diverse: tot_doc, imponibile"));
}

// Each change is made on the server as another desk or a tool would make it: plain SQL on
// another connection, no recompute.
TEST_F(StaleTotals, BothWritersRefuseTotalsChangedBehindTheProgramsBackAndWriteAfterARecompute)
{
    const struct {
        const char *what;
        const char *sql;
        QStringList columns;
    } cases[] = {
        {"document total changed", "UPDATE testata SET tot_doc = '150,00' WHERE id_invio = 42", {"tot_doc"}},
        {"document total emptied", "UPDATE testata SET tot_doc = NULL WHERE id_invio = 42", {"tot_doc"}},
        {"taxable amount and tax changed", "UPDATE testata SET imponibile = '100,00', imposta = '22,00' WHERE id_invio = 42",
         {"imponibile", "imposta"}},
        {"rate of bucket 1 written differently", "UPDATE testata SET aliquota = '22,00' WHERE id_invio = 42", {"aliquota"}},
        {"a bucket with no line of its rate",
         "UPDATE testata SET aliquota2 = '', imponibile2 = '1,00', imposta2 = '0,10' WHERE id_invio = 42",
         {"imponibile2", "imposta2"}},
        {"free goods changed", "UPDATE testata SET tot_omaggio = '5,00' WHERE id_invio = 42", {"tot_omaggio"}},
        {"line amount changed", "UPDATE dettaglio SET prezzo_tot = '80,000' WHERE id_invio = 42 AND descrizione = 'Trasferta'",
         {"imponibile", "imposta", "tot_doc"}},
        {"line deleted", "DELETE FROM dettaglio WHERE id_invio = 42 AND descrizione = 'Trasferta'",
         {"imponibile", "imposta", "tot_doc"}},
        {"line of another rate added",
         "INSERT INTO dettaglio (id_invio, prog, descrizione, quantita, prezzo_unit, prezzo_tot, aliquota) "
         "VALUES (42, 3, 'Libri', '1,00', '10,000', '10,000', '4')",
         {"imponibile2", "imposta2", "aliquota2", "tot_omaggio2", "tot_doc"}},
        {"quantity of a line set to 0", "UPDATE dettaglio SET quantita = '0,00' WHERE id_invio = 42 AND descrizione = 'Trasferta'",
         {"imponibile", "imposta", "tot_doc"}},
        {"header discount set", "UPDATE testata SET sc_tipo = 'SC', sc_perc = '10' WHERE id_invio = 42",
         {"sc_importo", "tot_doc"}},
        {"expenses set", "UPDATE testata SET spese = '10,00' WHERE id_invio = 42", {"tot_doc"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const int id = addRecomputedInvoice();
        db->sql().exec(QString::fromLatin1(c.sql));
        EXPECT_EQ(StoredTotals::mismatchedColumns(db->sql(), id), c.columns);
        for (Writer writer : {&CreaFileXml, &CreaFileXmlPA})
            expectRefused(writer, id, c.columns);

        // "Registra" recomputes: the file is written, with the totals of the stored lines.
        storeTotals(id);
        EXPECT_TRUE(StoredTotals::mismatchedColumns(db->sql(), id).isEmpty());
        for (Writer writer : {&CreaFileXml, &CreaFileXmlPA}) {
            const QStringList lines = write(writer, id);
            EXPECT_EQ(storedFileName(id), FileName);
            const QString total = XmlForms::amount(storedText(id, QStringLiteral("tot_doc")));
            EXPECT_TRUE(lines.contains(QStringLiteral("<ImportoTotaleDocumento>%1</ImportoTotaleDocumento>").arg(total)))
                << lines.join(u'\n').toStdString();
            EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
        }
        EXPECT_EQ(filesInFolder(), QStringList{FileName});
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
    }
}

// The totals the writer compares with are those the computation stores: right after a
// recompute every column matches, and the file is the one written before the check existed.
TEST_F(StaleTotals, AConsistentInvoiceWritesAsBefore)
{
    const int id = addRecomputedInvoice();
    EXPECT_EQ(storedText(id, QStringLiteral("tot_doc")), QStringLiteral("183,00"));
    EXPECT_TRUE(StoredTotals::mismatchedColumns(db->sql(), id).isEmpty());
    const QStringList lines = write(CreaFileXml, id);
    EXPECT_TRUE(containsSequence(lines, {"<ImportoTotaleDocumento>183.00</ImportoTotaleDocumento>"}));
    EXPECT_TRUE(containsSequence(lines, {"<AliquotaIVA>22.00</AliquotaIVA>", "<ImponibileImporto>150.00</ImponibileImporto>",
                                         "<Imposta>33.00</Imposta>"}));
    EXPECT_EQ(storedFileName(id), FileName);
    EXPECT_NE(readFile(writtenPath(id)), QByteArray("earlier file\r\n"));
}

// A free-goods column that a recompute leaves alone (its bucket has neither goods nor
// taxable lines any more) is no total of the file and is not compared.
TEST_F(StaleTotals, AFreeGoodsColumnTheComputationLeavesAloneIsNotCompared)
{
    const int id = addRecomputedInvoice();
    db->sql().exec(QStringLiteral("UPDATE testata SET tot_omaggio2 = '7,00', tot_omaggio3 = 'x' WHERE id_invio = ?"), {id});
    EXPECT_TRUE(StoredTotals::mismatchedColumns(db->sql(), id).isEmpty());
    write(CreaFileXmlPA, id);
    EXPECT_EQ(storedFileName(id), FileName);
}

// Another desk stores a line and its recompute never runs (the desk died in between): the
// writer on this desk reads the server, not the rows it holds, and refuses.
TEST_F(StaleTotals, ALineStoredOnAnotherDeskWithoutARecomputeIsRefused)
{
    const int id = addRecomputedInvoice();
    TDiz deskB;
    openDataModuleOn(deskB);
    deskB.Testata.refresh();
    ASSERT_TRUE(deskB.Testata.locate(QStringLiteral("id_invio"), id));
    deskB.Detta.refresh();
    deskB.Detta.append();
    for (const auto &[column, value] : lineColumns().asKeyValueRange())
        deskB.Detta.setValue(column, value);
    deskB.Detta.setValue(QStringLiteral("prog"), 3);
    deskB.Detta.post();

    for (Writer writer : {&CreaFileXml, &CreaFileXmlPA})
        expectRefused(writer, id, {QStringLiteral("imponibile"), QStringLiteral("imposta"), QStringLiteral("tot_doc")});

    CalcolaTotali(deskB);
    const QStringList lines = write(CreaFileXml, id);
    EXPECT_TRUE(containsSequence(lines, {"<ImportoTotaleDocumento>305.00</ImportoTotaleDocumento>"}));
}

// A line that does not read as numbers stops the check as it stops the recompute, with the
// same message: the user mends the line, the totals are not the problem.
TEST_F(StaleTotals, ALineTheComputationCannotReadStopsTheWriterWithItsError)
{
    const int id = addRecomputedInvoice();
    db->sql().exec(QStringLiteral("UPDATE dettaglio SET prezzo_tot = 'cento' WHERE id_invio = ?"), {id});
    select(id);
    EXPECT_APP_ERROR(CreaFileXml(*diz, QStringLiteral("A")), ConversionError, "'cento' is not a valid floating point value");
    EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
    EXPECT_EQ(readFile(folder() + FileName), QByteArray("earlier file\r\n"));
}

} // namespace
