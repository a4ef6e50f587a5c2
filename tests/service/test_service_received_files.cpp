// Received files that come from outside: a file with a document type declaration (entity
// expansion, external entities) is refused before anything of it is read, a file over the
// exchange system's 5 MB is refused, a name in the received folder that is not a regular
// file does not hold the service up, and a value that does not fit its column is refused
// in Italian, never stored cut.
#include "data/db_connection.h"
#include "service/service_database.h"
#include "service_process.h"
#include "test_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

// A received FPR12 invoice of one line; `doctype` goes before the root, `supplier` is the
// supplier's name as written in the file, `rate` the line's and the summary's VAT rate.
QByteArray receivedInvoice(const QByteArray &doctype = {}, const QByteArray &supplier = "FORNITURE GAMMA SRL",
                           const QByteArray &rate = "22.00")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype
        + "<p:FatturaElettronica versione=\"FPR12\" xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">"
          "<FatturaElettronicaHeader><DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>02345678901</IdCodice>"
          "</IdTrasmittente><ProgressivoInvio>1</ProgressivoInvio><FormatoTrasmissione>FPR12</FormatoTrasmissione>"
          "<CodiceDestinatario>0000000</CodiceDestinatario></DatiTrasmissione><CedentePrestatore><DatiAnagrafici><IdFiscaleIVA>"
          "<IdPaese>IT</IdPaese><IdCodice>02345678901</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>"
        + supplier
        + "</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici><Sede><Indirizzo>VIA DEI MILLE 12"
          "</Indirizzo><CAP>20121</CAP><Comune>MILANO</Comune><Provincia>MI</Provincia><Nazione>IT</Nazione></Sede>"
          "</CedentePrestatore><CessionarioCommittente><DatiAnagrafici><CodiceFiscale>01234567890</CodiceFiscale><Anagrafica>"
          "<Denominazione>NORVA SRL</Denominazione></Anagrafica></DatiAnagrafici><Sede><Indirizzo>VIA ROMA 1</Indirizzo>"
          "<CAP>00100</CAP><Comune>ROMA</Comune><Nazione>IT</Nazione></Sede></CessionarioCommittente></FatturaElettronicaHeader>"
          "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa>"
          "<Data>2026-03-05</Data><Numero>17</Numero><ImportoTotaleDocumento>122.00</ImportoTotaleDocumento></DatiGeneraliDocumento>"
          "</DatiGenerali><DatiBeniServizi><DettaglioLinee><NumeroLinea>1</NumeroLinea><Descrizione>ARTICOLO</Descrizione>"
          "<Quantita>1.00</Quantita><PrezzoUnitario>100.00</PrezzoUnitario><PrezzoTotale>100.00</PrezzoTotale><AliquotaIVA>"
        + rate + "</AliquotaIVA></DettaglioLinee><DatiRiepilogo><AliquotaIVA>" + rate
        + "</AliquotaIVA><ImponibileImporto>100.00</ImponibileImporto><Imposta>22.00</Imposta></DatiRiepilogo></DatiBeniServizi>"
          "</FatturaElettronicaBody></p:FatturaElettronica>\n";
}

// The peak resident memory of a process, in kB; -1 when unknown.
long peakMemoryKb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class ServiceReceivedFilesTest : public ::testing::Test {
protected:
    ScratchDatabase db;
    QTemporaryDir received;
    std::unique_ptr<ServiceProcess> service;

    void SetUp() override
    {
        auto settings = ServiceTest::testDatabaseSettings(db.name());
        settings.insert(QStringLiteral("received"), received.path());
        service = std::make_unique<ServiceProcess>(settings);
        ASSERT_TRUE(service->started());
    }

    void put(const QString &name, const QByteArray &bytes)
    {
        QFile f(received.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    Reply load(const QString &name) { return service->get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=") + name); }

    int storedHeaders() { return db.sql().select(QStringLiteral("SELECT COUNT(*) FROM test_car")).rows.at(0).raw(0).toInt(); }
};

// 89 kB: one entity of 60 kB referenced 5,000 times. Expanded it would be 300 MB of text.
TEST_F(ServiceReceivedFilesTest, AnEntityExpansionFileIsRefusedWithTheServiceUnder100MB)
{
    const QByteArray doctype = "<!DOCTYPE p:FatturaElettronica [<!ENTITY grande \"" + QByteArray(60000, 'A') + "\">]>\n";
    QByteArray references;
    for (int i = 0; i < 5000; ++i)
        references += "&grande;";
    put(QStringLiteral("espansione.xml"), receivedInvoice(doctype, references));

    const Reply reply = load(QStringLiteral("espansione.xml"));
    EXPECT_EQ(reply.status, 422) << reply.body.left(2000).toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("DOCTYPE"))) << reply.body.left(2000).toStdString();
    EXPECT_LT(reply.body.size(), 4000);
    EXPECT_EQ(storedHeaders(), 0);
    const long peak = peakMemoryKb(service->pid());
    ASSERT_GT(peak, 0);
    EXPECT_LT(peak, 100 * 1024) << "peak resident memory of the service: " << peak << " kB";
}

// An external entity naming a file of this machine in a field: refused, and none of that
// file's text, nor the field without it, is stored or shown.
TEST_F(ServiceReceivedFilesTest, AnExternalEntityFileIsRefusedAndNothingOfItIsStoredOrShown)
{
    QTemporaryDir elsewhere;
    QFile secret(elsewhere.filePath(QStringLiteral("riservato.txt")));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("TESTO-RISERVATO-4711");
    secret.close();
    const QByteArray doctype = "<!DOCTYPE p:FatturaElettronica [<!ENTITY e SYSTEM \"file://" + QFile::encodeName(secret.fileName()) + "\">]>\n";
    put(QStringLiteral("esterna.xml"), receivedInvoice(doctype, "XX&e;YY"));

    const Reply reply = load(QStringLiteral("esterna.xml"));
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("DOCTYPE"))) << reply.body.toStdString();
    EXPECT_FALSE(reply.body.contains(QStringLiteral("TESTO-RISERVATO"))) << reply.body.toStdString();
    EXPECT_FALSE(reply.body.contains(QStringLiteral("XXYY"))) << reply.body.toStdString();
    EXPECT_EQ(storedHeaders(), 0);
    EXPECT_EQ(db.sql().select(QStringLiteral("SELECT COUNT(*) FROM test_car WHERE rag_soc LIKE '%XX%' OR rag_soc LIKE '%RISERVATO%'"))
                  .rows.at(0).raw(0).toInt(),
              0);
}

TEST_F(ServiceReceivedFilesTest, AFileOverFiveMegabytesIsRefused)
{
    put(QStringLiteral("enorme.xml"), receivedInvoice({}, QByteArray(5 * 1024 * 1024, 'A')));
    const Reply reply = load(QStringLiteral("enorme.xml"));
    EXPECT_EQ(reply.status, 422) << reply.body.left(2000).toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("troppo grande"))) << reply.body.left(2000).toStdString();
    EXPECT_EQ(storedHeaders(), 0);
}

// A FIFO under an invoice's name would keep a plain reading waiting for a writer forever.
TEST_F(ServiceReceivedFilesTest, AFifoInTheReceivedFolderIsRefusedWithoutHangingTheService)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(received.filePath(QStringLiteral("coda.xml"))).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    const Reply reply = load(QStringLiteral("coda.xml"));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("non è un file normale"))) << reply.body.toStdString();
    // A loading after it is not held up by the one-at-a-time lock.
    put(QStringLiteral("buona.xml"), receivedInvoice());
    EXPECT_EQ(load(QStringLiteral("buona.xml")).status, 200);
    EXPECT_EQ(storedHeaders(), 1);
}

// A rate of seven digits does not fit aliquota (six characters): the database refuses it,
// in Italian, whatever the server's own sql_mode, and nothing of the file is stored.
TEST_F(ServiceReceivedFilesTest, AValueThatDoesNotFitItsColumnIsRefusedInItalianNotStoredCut)
{
    put(QStringLiteral("aliquota.xml"), receivedInvoice({}, "FORNITURE GAMMA SRL", "1234567.00"));
    const Reply reply = load(QStringLiteral("aliquota.xml"));
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("più lungo di quanto la sua colonna del database può contenere"))) << reply.body.toStdString();
    EXPECT_EQ(storedHeaders(), 0);
    EXPECT_EQ(db.sql().select(QStringLiteral("SELECT COUNT(*) FROM dett_car")).rows.at(0).raw(0).toInt(), 0);
}

// Every connection of the service refuses values that do not fit, even on a server whose
// own mode would cut them.
TEST(ServiceDatabase, TheServicesConnectionsUseAStrictSqlMode)
{
    ScratchDatabase db;
    const auto env = QProcessEnvironment::systemEnvironment();
    DatabaseEndpoint endpoint;
    endpoint.host = QStringLiteral("localhost");
    endpoint.database = db.name();
    endpoint.port = env.value(QStringLiteral("XN_TEST_DB_PORT"), QStringLiteral("33061")).toInt();
    endpoint.socket = env.value(QStringLiteral("XN_TEST_DB_SOCKET"));
    ConnectionPool pool(endpoint);
    auto conn = pool.acquire();
    const DbResult mode = conn->select(QStringLiteral("SELECT @@SESSION.sql_mode"));
    EXPECT_TRUE(mode.rows.at(0).raw(0).toByteArray().contains("STRICT_ALL_TABLES")) << mode.rows.at(0).raw(0).toByteArray().toStdString();
    // Also after the connection was lost and made again.
    conn->exec(QStringLiteral("SET SESSION sql_mode = ''"));
    conn->close();
    conn->open();
    const DbResult again = conn->select(QStringLiteral("SELECT @@SESSION.sql_mode"));
    EXPECT_TRUE(again.rows.at(0).raw(0).toByteArray().contains("STRICT_ALL_TABLES"));
}

} // namespace
