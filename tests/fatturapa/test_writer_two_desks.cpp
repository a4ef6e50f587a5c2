// Two desks on one server, each with its own data module and connection: the XML file of
// an invoice is written from what is stored when it is written (header, lines, linked
// documents read again in one transaction), not from the rows a desk holds.
#include "invoice/calcola_totali.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "invoice/invoice_lock.h"
#include "xml_writer_fixture.h"

namespace {

class WriterTwoDesks : public XmlWriterTest {
protected:
    static inline std::unique_ptr<TDiz> deskB;

    static void SetUpTestSuite()
    {
        XmlWriterTest::SetUpTestSuite();
        deskB = std::make_unique<TDiz>();
        openDataModuleOn(*deskB);
    }
    static void TearDownTestSuite()
    {
        deskB.reset();
        XmlWriterTest::TearDownTestSuite();
    }

    void SetUp() override
    {
        XmlWriterTest::SetUp();
        diz->Testata.setRefreshInterval(0);
        deskB->Testata.setRefreshInterval(0);
    }

    void showOnB(int id)
    {
        deskB->Testata.refresh();
        ASSERT_TRUE(deskB->Testata.locate(QStringLiteral("id_invio"), id));
        deskB->Detta.refresh();
    }
};

TEST_F(WriterTwoDesks, TheFileCarriesTheLinesAndTotalsStoredByAnotherDesk)
{
    const int id = addInvoice();
    addLine(id);
    // Desk A holds the invoice with its one line; desk B adds a second line and recomputes.
    showOnB(id);
    deskB->Detta.append();
    deskB->Detta.setValue(QStringLiteral("prog"), 2);
    for (const auto &[column, value] : lineColumns().asKeyValueRange())
        deskB->Detta.setValue(column, value);
    deskB->Detta.setText(QStringLiteral("descrizione"), QStringLiteral("Aggiunta su B"));
    deskB->Detta.setText(QStringLiteral("prezzo_tot"), QStringLiteral("50,000"));
    deskB->Detta.post();
    CalcolaTotali(*deskB);
    ASSERT_EQ(stored(QStringLiteral("SELECT tot_doc FROM testata WHERE id_invio = ?"), {id}), QStringLiteral("183,00"));
    ASSERT_EQ(diz->Detta.rowCount(), 1);

    for (auto writer : {&CreaFileXml, &CreaFileXmlPA}) {
        writer(*diz, QStringLiteral("A"));
        const QStringList lines = XmlTest::linesOf(XmlTest::readFile(writtenPath(id)));
        EXPECT_TRUE(lines.contains(QStringLiteral("<Descrizione>Aggiunta su B</Descrizione>")));
        EXPECT_TRUE(lines.contains(QStringLiteral("<NumeroLinea>2</NumeroLinea>")));
        EXPECT_TRUE(lines.contains(QStringLiteral("<ImponibileImporto>150.00</ImponibileImporto>")));
        EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
    }
    EXPECT_TRUE(XmlTest::linesOf(XmlTest::readFile(writtenPath(id))).contains(QStringLiteral("<ImportoPagamento>150.00</ImportoPagamento>")));
    CreaFileXml(*diz, QStringLiteral("A"));
    EXPECT_TRUE(XmlTest::linesOf(XmlTest::readFile(writtenPath(id)))
                    .contains(QStringLiteral("<ImportoTotaleDocumento>183.00</ImportoTotaleDocumento>")));
    // Desk A now shows what the file was made of.
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("183,00"));
}

TEST_F(WriterTwoDesks, TheFileCarriesTheCompanyDataStoredByAnotherDesk)
{
    const int id = addInvoice();
    addLine(id);
    storeTotals(id);
    // Desk A holds the company row as it was; desk B renames the company.
    deskB->AziendaT.refresh();
    deskB->AziendaT.first();
    deskB->AziendaT.edit();
    deskB->AziendaT.setText(QStringLiteral("rag_soc"), QStringLiteral("Gamma Nuova S.r.l."));
    deskB->AziendaT.post();
    ASSERT_EQ(diz->AziendaT.text(QStringLiteral("rag_soc")), QStringLiteral("Alfa & Beta S.r.l."));

    for (auto writer : {&CreaFileXml, &CreaFileXmlPA}) {
        select(id);
        writer(*diz, QStringLiteral("A"));
        const QStringList lines = XmlTest::linesOf(XmlTest::readFile(writtenPath(id)));
        EXPECT_TRUE(lines.contains(QStringLiteral("<Denominazione>Gamma Nuova S.r.l.</Denominazione>")));
    }
    EXPECT_EQ(diz->AziendaT.text(QStringLiteral("rag_soc")), QStringLiteral("Gamma Nuova S.r.l."));
}

TEST_F(WriterTwoDesks, AnInvoiceDeletedOnAnotherDeskGetsNoFile)
{
    const int id = addInvoice();
    addLine(id);
    deskB->xml_conn.exec(QStringLiteral("DELETE FROM dettaglio WHERE id_invio = ?"), {id});
    deskB->xml_conn.exec(QStringLiteral("DELETE FROM testata WHERE id_invio = ?"), {id});
    EXPECT_APP_ERROR(CreaFileXml(*diz, QStringLiteral("A")), AppError, InvoiceLock::deletedMessage());
    EXPECT_TRUE(filesInFolder().isEmpty());
}

} // namespace
