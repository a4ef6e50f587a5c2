// Invoices per second handed over by the local service through the folder channel, the
// pre-send check included: N unsent invoices (default 1,000, five lines each) in a scratch
// database, their files in a company folder, one request each to /Fatt_Ven/mail_sdi.php.
// Run against the test server: scripts/test-db start; build/bench/bench_service [N]
#include "data/app_error.h"
#include "bench_support.h"
#include "checks/presend_check.h"
#include "test_db.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <httplib.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// The installation's secret of the benchmark's own service, carried by every request.
constexpr const char *Secret = "bench0123456789abcdef0123456789ab";

// An FPR12 invoice of five lines at 22 % that passes every check.
QByteArray invoiceFile(int progressive)
{
    QString lines;
    for (int i = 1; i <= 5; ++i)
        lines += QStringLiteral("<DettaglioLinee><NumeroLinea>%1</NumeroLinea><Descrizione>Articolo %1</Descrizione><Quantita>%1.00</Quantita>"
                                "<UnitaMisura>PZ</UnitaMisura><PrezzoUnitario>10.00</PrezzoUnitario><PrezzoTotale>%2.00</PrezzoTotale>"
                                "<AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee>\r\n")
                     .arg(i)
                     .arg(i * 10);
    // 10 + 20 + 30 + 40 + 50 = 150.00, VAT 33.00
    return QStringLiteral(R"(<?xml version="1.0" encoding="utf-8"?>
<p:FatturaElettronica xmlns:ds="http://www.w3.org/2000/09/xmldsig#" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" versione="FPR12" xmlns:p="http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2">
<FatturaElettronicaHeader>
<DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdTrasmittente><ProgressivoInvio>%1</ProgressivoInvio><FormatoTrasmissione>FPR12</FormatoTrasmissione><CodiceDestinatario>ABC1234</CodiceDestinatario></DatiTrasmissione>
<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>01234567890</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>Alfa S.r.l.</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici>
<Sede><Indirizzo>Via Roma 1</Indirizzo><CAP>00184</CAP><Comune>Roma</Comune><Provincia>RM</Provincia><Nazione>IT</Nazione></Sede></CedentePrestatore>
<CessionarioCommittente><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>09876543210</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>Beta S.p.A.</Denominazione></Anagrafica></DatiAnagrafici>
<Sede><Indirizzo>Corso Italia 5</Indirizzo><CAP>20122</CAP><Comune>Milano</Comune><Provincia>MI</Provincia><Nazione>IT</Nazione></Sede></CessionarioCommittente>
</FatturaElettronicaHeader>
<FatturaElettronicaBody>
<DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa><Data>2026-03-05</Data><Numero>%2</Numero><ImportoTotaleDocumento>183.00</ImportoTotaleDocumento></DatiGeneraliDocumento></DatiGenerali>
<DatiBeniServizi>
%3<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>150.00</ImponibileImporto><Imposta>33.00</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo>
</DatiBeniServizi>
<DatiPagamento><CondizioniPagamento>TP02</CondizioniPagamento><DettaglioPagamento><ModalitaPagamento>MP01</ModalitaPagamento><ImportoPagamento>183.00</ImportoPagamento></DettaglioPagamento></DatiPagamento>
</FatturaElettronicaBody>
</p:FatturaElettronica>
)")
        .arg(progressive, 5, 10, QLatin1Char('0'))
        .arg(progressive)
        .arg(lines)
        .toUtf8();
}

QString fileName(int progressive)
{
    return QStringLiteral("IT01234567890_%1.xml").arg(progressive, 5, 10, QLatin1Char('0'));
}

// Creates `count` unsent invoices with their files; returns their numbers.
std::vector<int> prepareInvoices(ScratchDatabase &db, const QString &folder, int count)
{
    db.insert(QStringLiteral("azienda"), {{"rag_soc", "Alfa S.r.l."}, {"p_iva", "01234567890"}, {"path", folder + QLatin1Char('/')}});
    std::vector<int> ids;
    for (int i = 1; i <= count; ++i) {
        const int id = db.insert(QStringLiteral("testata"), {{"rag_soc", "Beta S.p.A."}, {"nome_file", fileName(i)}, {"tot_doc", "183,00"}});
        ids.push_back(id);
        QFile f(QDir(folder).filePath(fileName(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(invoiceFile(i)) < 0)
            throw AppError(QStringLiteral("cannot write %1").arg(f.fileName()));
    }
    return ids;
}

struct Service {
    QProcess process;
    int port = 0;
};

void startService(Service &s, const QTemporaryDir &dir, const QString &database)
{
    const QString ini = dir.filePath(QStringLiteral("servizio.ini"));
    QFile f(ini);
    if (!f.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("cannot write %1").arg(ini));
    f.write(QStringLiteral("port=0\nchannel=folder\noutbox=%1\ndb_host=localhost\ndb_name=%2\ndb_socket=%3\ndb_port=%4\nsecret=%5\n")
                .arg(dir.filePath(QStringLiteral("outbox")), database, qEnvironmentVariable("XN_TEST_DB_SOCKET"),
                     qEnvironmentVariable("XN_TEST_DB_PORT", QStringLiteral("33061")), QLatin1String(Secret))
                .toUtf8());
    f.close();
    const QString log = dir.filePath(QStringLiteral("service.log"));
    s.process.setStandardOutputFile(log);
    s.process.setStandardErrorFile(log, QIODevice::Append);
    s.process.start(QStringLiteral(XN_SERVICE_PROGRAM), {ini});
    static const QRegularExpression listening(QStringLiteral("in ascolto su http://127\\.0\\.0\\.1:(\\d+)"));
    for (int i = 0; i < 500 && s.port == 0; ++i) {
        QThread::msleep(20);
        QFile l(log);
        if (l.open(QIODevice::ReadOnly)) {
            const auto m = listening.match(QString::fromUtf8(l.readAll()));
            if (m.hasMatch())
                s.port = m.captured(1).toInt();
        }
    }
    if (s.port == 0)
        throw AppError(QStringLiteral("the service did not start (%1)").arg(log));
}

// Sends every invoice of `ids` from `clients` connections at once; returns the seconds taken.
double sendAll(int port, const std::vector<int> &ids, size_t from, size_t to, int clients, std::atomic<int> &failures)
{
    std::atomic<size_t> next{from};
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&] {
            httplib::Client client("127.0.0.1", port);
            client.set_keep_alive(true);
            for (size_t i = next++; i < to; i = next++) {
                const std::string path = QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2&chiave=%3")
                                             .arg(fileName(int(i) + 1))
                                             .arg(ids[i])
                                             .arg(QLatin1String(Secret))
                                             .toStdString();
                const auto res = client.Get(path.c_str());
                if (!res || res->status != 200)
                    ++failures;
            }
        });
    for (auto &t : threads)
        t.join();
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    try {
        ScratchDatabase db;
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("xml"));
        QDir().mkpath(folder);
        if (folder.size() + 1 > 40)
            throw AppError(QStringLiteral("the company folder %1 is longer than azienda.path").arg(folder));
        const std::vector<int> ids = prepareInvoices(db, folder, count);
        const auto problems = checkInvoiceFile(QDir(folder).filePath(fileName(1)));
        if (hasRefusals(problems))
            throw AppError(QStringLiteral("the bench invoice does not pass the checks:\n") + describeProblems(problems));

        QElapsedTimer checkClock;
        checkClock.start();
        for (int i = 1; i <= std::min(count, 200); ++i)
            checkInvoiceFile(QDir(folder).filePath(fileName(i)));
        const double perCheckMs = checkClock.nsecsElapsed() / 1e6 / std::min(count, 200);

        Service service;
        startService(service, dir, db.name());
        std::atomic<int> failures{0};
        // The first half one request at a time (as the application's single commands do), the
        // second half from four connections at once (as a batch reaches the service).
        const size_t half = ids.size() / 2;
        const double sequential = sendAll(service.port, ids, 0, half, 1, failures);
        const double concurrent = sendAll(service.port, ids, half, ids.size(), 4, failures);
        service.process.terminate();
        service.process.waitForFinished(10000);

        const auto sent = db.sql().select(QStringLiteral("SELECT COUNT(*) FROM testata WHERE inviata = 1"));
        const int outbox = int(QDir(dir.filePath(QStringLiteral("outbox"))).entryList(QDir::Files).size());
        std::printf("pre-send check alone:            %.2f ms per file\n", perCheckMs);
        std::printf("one request at a time:           %zu invoices in %.2f s = %.0f invoices/s\n", half, sequential, half / sequential);
        std::printf("four connections at once:        %zu invoices in %.2f s = %.0f invoices/s\n", ids.size() - half, concurrent,
                    (ids.size() - half) / concurrent);
        std::printf("all:                             %zu invoices in %.2f s = %.0f invoices/s (goal >= 100)\n", ids.size(),
                    sequential + concurrent, ids.size() / (sequential + concurrent));
        std::printf("marked sent: %s, files in the outbox: %d, failed requests: %d\n",
                    sent.rows.at(0).raw(0).toByteArray().constData(), outbox, failures.load());
        return failures.load() == 0 && outbox == count ? 0 : 1;
    } catch (const AppError &e) {
        std::fprintf(stderr, "bench_service: %s\n", e.text().toUtf8().constData());
        return 1;
    }
}
