// Every file the writers produce for the demonstration data passes the checks (warnings
// allowed): each issued document of the demonstration electronic-invoice database, and each
// document the import takes from the demonstration management database, written as the
// user writes it, with "Creazione File XML" (CreaFileXml) or, for a public administration
// (six-character recipient code), "XML P.A." (CreaFileXmlPA).
#include "../import/import_fixture.h"
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "checks/presend_check.h"

namespace {

class DemoFiles : public ImportTest {
protected:
    // Writes the file of the invoice `id` with the writer its buyer calls for and checks it.
    void writeAndCheck(const StoredRow &row, int &publicAdministrations)
    {
        diz->Testata.refresh();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), row.id()));
        diz->Detta.refresh();
        diz->ContrattoT.refresh();
        diz->ContrattoT.first();
        diz->ContrattoD.refresh();
        const bool publicAdministration = row["cod_dest"].trimmed().size() == 6;
        if (publicAdministration) {
            CreaFileXmlPA(*diz, QStringLiteral("A"));
            ++publicAdministrations;
        } else {
            CreaFileXml(*diz, QStringLiteral("A"));
        }
        const StoredRow written = rows(QStringLiteral("SELECT * FROM testata WHERE id_invio = ?"), {row.id()}).at(0);
        ASSERT_TRUE(fileExists(written)) << row["num_doc"].toStdString();
        CheckOptions options;
        options.today = QDate(2026, 12, 31);
        const std::vector<PresendProblem> problems = checkInvoiceFile(folder() + written["nome_file"], options);
        EXPECT_FALSE(hasRefusals(problems)) << (publicAdministration ? "CreaFileXmlPA " : "CreaFileXml ")
                                            << row["num_doc"].toStdString() << ":\n"
                                            << describeProblems(problems).toStdString();
    }
};

TEST_F(DemoFiles, EveryIssuedDemoInvoiceWrittenPassesTheChecks)
{
    xml->sql().exec(QStringLiteral("DELETE FROM azienda"));
    xml->load(QStringLiteral("demo_xml_norva.sql"));
    xml->sql().exec(QStringLiteral("UPDATE azienda SET path = ?"), {folder()});
    for (DbTable *t : {&diz->AziendaT, &diz->Testata})
        t->refresh();
    diz->AziendaT.first();
    const QList<StoredRow> invoices = headers();
    ASSERT_EQ(invoices.size(), 4);
    int publicAdministrations = 0;
    for (const StoredRow &row : invoices)
        writeAndCheck(row, publicAdministrations);
    EXPECT_EQ(publicAdministrations, 1);
}

TEST_F(DemoFiles, EveryImportedDemoDocumentWrittenPassesTheChecks)
{
    norva->load(QStringLiteral("demo_norva26.sql"));
    runImport(QStringLiteral("A"), QStringLiteral("31/12/26"));
    const QList<StoredRow> imported = headers();
    ASSERT_EQ(imported.size(), 8);
    int publicAdministrations = 0;
    for (const StoredRow &row : imported)
        writeAndCheck(row, publicAdministrations);
    EXPECT_EQ(publicAdministrations, 1);
}

} // namespace
