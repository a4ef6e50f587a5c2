// Checking figures: N FatturaPA files of five lines each (valid ones, with the VAT summary
// and totals right) written to a scratch folder, then checked one by one on one thread:
// through the check library (read, parsed once, schema, every exchange-system code, tax
// codes) and through the fatture-check program given all the files at once. Prints the
// files checked per second of each, by elapsed time and by processor time of the one
// thread (on a machine shared with other work the elapsed time includes the waits for a
// processor).
//   bench_checks [files=5000]
#include "checks/presend_check.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// Processor time (user + system) of this process, or of its finished children, in seconds.
double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QByteArray invoiceFile(int number)
{
    QByteArray lines;
    long long cents = 0;
    for (int l = 1; l <= 5; ++l) {
        const long long price = 1000 + 37 * l + number % 100;
        const int quantity = 1 + l % 3;
        cents += price * quantity;
        lines += QStringLiteral("<DettaglioLinee><NumeroLinea>%1</NumeroLinea><Descrizione>ARTICOLO %1</Descrizione>"
                                "<Quantita>%2.00</Quantita><PrezzoUnitario>%3.%4</PrezzoUnitario>"
                                "<PrezzoTotale>%5.%6</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee>\r\n")
                     .arg(l)
                     .arg(quantity)
                     .arg(price / 100)
                     .arg(price % 100, 2, 10, QLatin1Char('0'))
                     .arg(price * quantity / 100)
                     .arg(price * quantity % 100, 2, 10, QLatin1Char('0'))
                     .toUtf8();
    }
    const long long tax = (cents * 22 + 50) / 100;
    const auto money = [](long long c) { return QStringLiteral("%1.%2").arg(c / 100).arg(c % 100, 2, 10, QLatin1Char('0')); };
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
               "<p:FatturaElettronica xmlns:ds=\"http://www.w3.org/2000/09/xmldsig#\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
               "versione=\"FPR12\" xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">\r\n"
               "<FatturaElettronicaHeader><DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>01234567897</IdCodice></IdTrasmittente>"
               "<ProgressivoInvio>%1</ProgressivoInvio><FormatoTrasmissione>FPR12</FormatoTrasmissione><CodiceDestinatario>ABC1234</CodiceDestinatario>"
               "</DatiTrasmissione>\r\n<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>01234567897</IdCodice></IdFiscaleIVA>"
               "<Anagrafica><Denominazione>Alfa S.r.l.</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici>"
               "<Sede><Indirizzo>Via Roma 1</Indirizzo><CAP>00184</CAP><Comune>Roma</Comune><Nazione>IT</Nazione></Sede></CedentePrestatore>\r\n"
               "<CessionarioCommittente><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>09876543217</IdCodice></IdFiscaleIVA>"
               "<CodiceFiscale>RSSMRA80A01H501U</CodiceFiscale><Anagrafica><Denominazione>Beta</Denominazione></Anagrafica></DatiAnagrafici>"
               "<Sede><Indirizzo>Corso Italia 5</Indirizzo><CAP>20122</CAP><Comune>Milano</Comune><Nazione>IT</Nazione></Sede>"
               "</CessionarioCommittente></FatturaElettronicaHeader>\r\n"
               "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa>"
               "<Data>2026-03-05</Data><Numero>%2</Numero><ImportoTotaleDocumento>%3</ImportoTotaleDocumento></DatiGeneraliDocumento></DatiGenerali>\r\n"
               "<DatiBeniServizi>\r\n%4<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>%5</ImponibileImporto>"
               "<Imposta>%6</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo>\r\n</DatiBeniServizi></FatturaElettronicaBody>\r\n"
               "</p:FatturaElettronica>\r\n")
        .arg(number, 5, 10, QLatin1Char('0'))
        .arg(number)
        .arg(money(cents + tax), QString::fromUtf8(lines), money(cents), money(tax))
        .toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 5000;
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 1; i <= files; ++i) {
        const QString progressive = QStringLiteral("%1").arg(i, 5, 36, QLatin1Char('0')).toUpper();
        const QString path = dir.filePath(QStringLiteral("IT01234567897_%1.xml").arg(progressive));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(invoiceFile(i)) < 0)
            return 1;
        paths << path;
    }
    const CheckOptions options{QDate(2026, 6, 1), false, QString(), {}};
    // The first check compiles the schema; it is not counted.
    if (const auto problems = checkInvoiceFile(paths.front(), options); !problems.empty()) {
        std::fprintf(stderr, "the bench file does not pass:\n%s", describeProblems(problems).toUtf8().constData());
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    int failed = 0;
    for (const QString &path : paths)
        failed += checkInvoiceFile(path, options).empty() ? 0 : 1;
    const double librarySeconds = timer.nsecsElapsed() / 1e9;
    const double libraryCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    std::printf("check library: %d five-line files in %.3f s: %.0f files/s; processor time %.3f s: %.0f files/s (%d with problems)\n",
                files, librarySeconds, files / librarySeconds, libraryCpu, files / libraryCpu, failed);

#ifdef XN_CHECK_PROGRAM
    QProcess program;
    timer.restart();
    program.start(QStringLiteral(XN_CHECK_PROGRAM), paths);
    if (!program.waitForFinished(-1) || program.exitCode() != 0) {
        std::fprintf(stderr, "fatture-check failed (%d): %s\n", program.exitCode(), program.readAllStandardOutput().left(2000).constData());
        return 1;
    }
    const double programSeconds = timer.nsecsElapsed() / 1e9;
    const double programCpu = cpuSeconds(RUSAGE_CHILDREN);
    std::printf("fatture-check: %d five-line files in %.3f s: %.0f files/s; processor time %.3f s: %.0f files/s (start-up included)\n",
                files, programSeconds, files / programSeconds, programCpu, files / programCpu);
#endif
    return 0;
}
