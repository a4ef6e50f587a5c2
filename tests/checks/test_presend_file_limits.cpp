// What the pre-send check refuses before looking at the invoice at all: a document type
// declaration (internal or external subset, entities), a file over the exchange system's
// 5 MB, and a name that is not a regular file.
#include "checks/presend_check.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QByteArray Prolog = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// An FPR12 invoice of one line at 22 % that passes every check.
const QByteArray Invoice = R"(<p:FatturaElettronica versione="FPR12" xmlns:p="http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2">
<FatturaElettronicaHeader>
<DatiTrasmissione><IdTrasmittente><IdPaese>IT</IdPaese><IdCodice>01234567897</IdCodice></IdTrasmittente><ProgressivoInvio>00001</ProgressivoInvio><FormatoTrasmissione>FPR12</FormatoTrasmissione><CodiceDestinatario>ABC1234</CodiceDestinatario></DatiTrasmissione>
<CedentePrestatore><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>01234567897</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>Alfa S.r.l.</Denominazione></Anagrafica><RegimeFiscale>RF01</RegimeFiscale></DatiAnagrafici><Sede><Indirizzo>Via Roma 1</Indirizzo><CAP>00184</CAP><Comune>Roma</Comune><Provincia>RM</Provincia><Nazione>IT</Nazione></Sede></CedentePrestatore>
<CessionarioCommittente><DatiAnagrafici><IdFiscaleIVA><IdPaese>IT</IdPaese><IdCodice>09876543217</IdCodice></IdFiscaleIVA><Anagrafica><Denominazione>Beta S.p.A.</Denominazione></Anagrafica></DatiAnagrafici><Sede><Indirizzo>Corso Italia 5</Indirizzo><CAP>20122</CAP><Comune>Milano</Comune><Provincia>MI</Provincia><Nazione>IT</Nazione></Sede></CessionarioCommittente>
</FatturaElettronicaHeader>
<FatturaElettronicaBody>
<DatiGenerali><DatiGeneraliDocumento><TipoDocumento>TD01</TipoDocumento><Divisa>EUR</Divisa><Data>2026-03-05</Data><Numero>1</Numero></DatiGeneraliDocumento></DatiGenerali>
<DatiBeniServizi><DettaglioLinee><NumeroLinea>1</NumeroLinea><Descrizione>Consulenza</Descrizione><PrezzoUnitario>100.00</PrezzoUnitario><PrezzoTotale>100.00</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA></DettaglioLinee>
<DatiRiepilogo><AliquotaIVA>22.00</AliquotaIVA><ImponibileImporto>100.00</ImponibileImporto><Imposta>22.00</Imposta><EsigibilitaIVA>I</EsigibilitaIVA></DatiRiepilogo></DatiBeniServizi>
</FatturaElettronicaBody>
</p:FatturaElettronica>
)";

QString firstProblem(const std::vector<PresendProblem> &problems)
{
    return problems.empty() ? QString() : problems.front().code + QLatin1Char(' ') + problems.front().detail;
}

TEST(PresendFileLimits, ADocumentTypeDeclarationIsRefusedWhateverItHolds)
{
    ASSERT_TRUE(checkInvoiceBytes(Prolog + Invoice, QStringLiteral("IT01234567897_00001.xml")).empty());
    QByteArray laughs = "<!DOCTYPE p:FatturaElettronica [<!ENTITY a0 \"ha\">";
    for (int i = 1; i <= 12; ++i)
        laughs += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">").arg(i).arg(i - 1).toLatin1();
    laughs += "]>\n";
    struct Doctype {
        const char *what;
        QByteArray declaration;
        QByteArray inName;  // replaces "Alfa S.r.l."
    };
    const Doctype table[] = {
        {"an empty internal subset", "<!DOCTYPE p:FatturaElettronica []>\n", "Alfa S.r.l."},
        {"an external subset", "<!DOCTYPE p:FatturaElettronica SYSTEM \"file:///etc/passwd\">\n", "Alfa S.r.l."},
        {"an external entity in a field", "<!DOCTYPE p:FatturaElettronica [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>\n", "Alfa&e;"},
        {"an entity expanding to 10^12 characters", laughs, "&a12;"},
    };
    for (const Doctype &d : table) {
        SCOPED_TRACE(d.what);
        QElapsedTimer clock;
        clock.start();
        const auto problems = checkInvoiceBytes(Prolog + d.declaration + QByteArray(Invoice).replace("Alfa S.r.l.", d.inName),
                                                QStringLiteral("IT01234567897_00002.xml"));
        EXPECT_LT(clock.elapsed(), 2000);
        ASSERT_EQ(problems.size(), 1u) << firstProblem(problems).toStdString();
        EXPECT_EQ(problems.front().code, QStringLiteral("00200"));
        EXPECT_TRUE(problems.front().detail.contains(QStringLiteral("DOCTYPE"))) << problems.front().detail.toStdString();
    }
}

TEST(PresendFileLimits, AFileOverFiveMegabytesIsRefused)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("IT01234567897_00003.xml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Prolog + "<!-- " + QByteArray(5 * 1024 * 1024, 'x') + " -->\n" + Invoice);
    file.close();
    const auto problems = checkInvoiceFile(file.fileName());
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems.front().code, QStringLiteral("00003"));
    EXPECT_TRUE(problems.front().detail.contains(QStringLiteral("5 MB"))) << problems.front().detail.toStdString();
}

TEST(PresendFileLimits, AFifoUnderTheFilesNameIsRefusedAtOnce)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("coda.xml"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    const auto problems = checkInvoiceFile(path);
    EXPECT_LT(clock.elapsed(), 2000);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems.front().detail.contains(QStringLiteral("non è un file normale"))) << problems.front().detail.toStdString();
}

} // namespace
