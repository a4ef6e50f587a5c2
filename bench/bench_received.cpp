// Loading figures: N received FatturaPA files of L lines each, written to a scratch
// folder, loaded one by one into an empty purchase-invoice database (each file read,
// parsed, checked against the names loaded before and stored in its own transaction).
// Prints the files loaded per second.
//   bench_received [files=1000] [lines=20]
#include "bench_support.h"
#include "receiving/received_invoice.h"
#include "test_db.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

QByteArray invoiceFile(int number, int lines)
{
    QByteArray body;
    long long cents22 = 0, cents10 = 0;
    for (int l = 1; l <= lines; ++l) {
        const bool standard = l % 2 == 1;
        const long long priceCents = 1000 + 37 * l + number % 100;
        const int quantity = 1 + l % 5;
        (standard ? cents22 : cents10) += priceCents * quantity;
        body += QStringLiteral("<DettaglioLinee><NumeroLinea>%1</NumeroLinea><CodiceArticolo><CodiceTipo>INTERNO</CodiceTipo>"
                               "<CodiceValore>ART-%2</CodiceValore></CodiceArticolo><Descrizione>ARTICOLO DI PROVA NUMERO %2</Descrizione>"
                               "<Quantita>%3.00</Quantita><UnitaMisura>PZ</UnitaMisura><PrezzoUnitario>%4.%5</PrezzoUnitario>"
                               "<PrezzoTotale>%6.%7</PrezzoTotale><AliquotaIVA>%8</AliquotaIVA></DettaglioLinee>")
                    .arg(l)
                    .arg(l, 4, 10, QLatin1Char('0'))
                    .arg(quantity)
                    .arg(priceCents / 100)
                    .arg(priceCents % 100, 2, 10, QLatin1Char('0'))
                    .arg(priceCents * quantity / 100)
                    .arg(priceCents * quantity % 100, 2, 10, QLatin1Char('0'))
                    .arg(standard ? QStringLiteral("22.00") : QStringLiteral("10.00"))
                    .toUtf8();
    }
    auto money = [](long long cents) { return QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0')); };
    const long long tax22 = (cents22 * 22 + 50) / 100, tax10 = (cents10 * 10 + 50) / 100;
    const long long total = cents22 + cents10 + tax22 + tax10;
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<p:FatturaElettronica versione=\"FPR12\" xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\">"
               "<FatturaElettronicaHeader><DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>02345678901</IdCodice>"
               "</IdTrasmittente><ProgressivoInvio>%1</ProgressivoInvio><FormatoTrasmissione>FPR12</FormatoTrasmissione>"
               "<CodiceDestinatario>0000000</CodiceDestinatario></DatiTrasmissione><CedentePrestatore><DatiAnagrafici><IdFiscaleIVA>"
               "<IdPaese>IT</IdPaese><IdCodice>02345678901</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>FORNITURE GAMMA SRL"
               "</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici><Sede><Indirizzo>VIA DEI MILLE 12"
               "</Indirizzo><CAP>20121</CAP><Comune>MILANO</Comune><Provincia>MI</Provincia><Nazione>IT</Nazione></Sede>"
               "</CedentePrestatore><CessionarioCommittente><DatiAnagrafici><CodiceFiscale>01234567890</CodiceFiscale><Anagrafica>"
               "<Denominazione>NORVA SRL</Denominazione></Anagrafica></DatiAnagrafici><Sede><Indirizzo>VIA ROMA 1</Indirizzo>"
               "<CAP>00100</CAP><Comune>ROMA</Comune><Nazione>IT</Nazione></Sede></CessionarioCommittente></FatturaElettronicaHeader>"
               "<FatturaElettronicaBody><DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa>"
               "<Data>2026-03-05</Data><Numero>%1</Numero><ImportoTotaleDocumento>%2</ImportoTotaleDocumento></DatiGeneraliDocumento>"
               "</DatiGenerali><DatiBeniServizi>")
               .arg(number)
               .arg(money(total))
               .toUtf8()
        + body
        + QStringLiteral("<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>%1</ImponibileImporto><Imposta>%2</Imposta>"
                         "<EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo><DatiRiepilogo><AliquotaIVA>10.00</AliquotaIVA>"
                         "<ImponibileImporto>%3</ImponibileImporto><Imposta>%4</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo>"
                         "</DatiBeniServizi><DatiPagamento><CondizioniPagamento>TP02</CondizioniPagamento><DettaglioPagamento>"
                         "<ModalitaPagamento>MP05</ModalitaPagamento><DataScadenzaPagamento>2026-04-30</DataScadenzaPagamento>"
                         "<ImportoPagamento>%5</ImportoPagamento></DettaglioPagamento></DatiPagamento></FatturaElettronicaBody>"
                         "</p:FatturaElettronica>\n")
              .arg(money(cents22), money(tax22), money(cents10), money(tax10), money(total))
              .toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 20;

    ScratchDatabase xml({QStringLiteral("xml_norva.sql")}, QStringLiteral("benchr"));
    QTemporaryDir folder(QStringLiteral("/tmp/bench-received-XXXXXX"));
    QStringList names;
    for (int i = 1; i <= files; ++i) {
        const QString name = QStringLiteral("IT02345678901_%1.xml").arg(i, 5, 36, QLatin1Char('0')).toUpper();
        QFile f(folder.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(invoiceFile(i, lines)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        names << name;
    }

    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names) {
        const LoadOutcome out = loadReceivedInvoice(xml.sql(), folder.path(), name);
        if (!out.loaded) {
            std::fprintf(stderr, "%s\n", qPrintable(out.message));
            return 1;
        }
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const int headers = xml.sql().select(QStringLiteral("SELECT COUNT(*) FROM test_car")).rows[0].raw(0).toInt();
    const int stored = xml.sql().select(QStringLiteral("SELECT COUNT(*) FROM dett_car")).rows[0].raw(0).toInt();
    if (headers != files || stored != files * lines) {
        std::fprintf(stderr, "stored %d headers and %d lines, expected %d and %d\n", headers, stored, files, files * lines);
        return 1;
    }
    std::printf("received files loaded: %d of %d lines in %.2f s = %.0f files/s (%.0f lines/s)\n", files, lines, seconds,
                files / seconds, files * lines / seconds);
    return 0;
}
