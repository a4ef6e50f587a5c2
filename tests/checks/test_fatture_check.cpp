// The command-line checker fatture-check, run as a program: a good file, a bad one, signed
// files, files that cannot be read, --json and --received, and its exit status.
#include "valid_invoice.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    int status = -1;
    QStringList lines;  // standard output, one entry per line
    QString errors;
};

class FattureCheck : public ::testing::Test {
protected:
    QTemporaryDir dir;

    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    static Outcome run(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(XN_CHECK_PROGRAM), args);
        Outcome r;
        if (!p.waitForFinished(60000)) {
            ADD_FAILURE() << "fatture-check did not finish";
            return r;
        }
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        r.lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        r.errors = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString write(const QString &name, const QByteArray &content)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            ADD_FAILURE() << "cannot write " << path.toStdString();
        return path;
    }

    static QByteArray invoice(const char *from = nullptr, const char *to = nullptr)
    {
        QByteArray xml(CheckFixture::ValidInvoice);
        if (from) {
            EXPECT_TRUE(xml.contains(from)) << from;
            xml.replace(from, to);
        }
        return xml;
    }

    // The file signed (CAdES attached, DER) with a throw-away self-signed key.
    QString sign(const QString &plainPath, const QString &signedName)
    {
        const QString key = dir.filePath(QStringLiteral("key.pem")), cert = dir.filePath(QStringLiteral("cert.pem"));
        if (!QFile::exists(cert))
            openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                     "/CN=Fornitore di prova", "-days", "2", "-keyout", key, "-out", cert});
        const QString out = dir.filePath(signedName);
        openssl({"cms", "-sign", "-binary", "-nodetach", "-in", plainPath, "-signer", cert, "-inkey", key, "-outform", "DER", "-out", out});
        return out;
    }

    static void openssl(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("openssl"), args);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
};

const char *const GoodTotal = "<PrezzoTotale>90.00</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA>";
const char *const BadTotal = "<PrezzoTotale>90.05</PrezzoTotale><AliquotaIVA>22.00</AliquotaIVA>";

TEST_F(FattureCheck, AGoodFilePassesSilently)
{
    const Outcome r = run({write(QStringLiteral("IT01234567897_00001.xml"), invoice())});
    EXPECT_EQ(r.status, 0) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines.isEmpty()) << r.lines.join(QLatin1Char('\n')).toStdString();
}

TEST_F(FattureCheck, ABadFileGivesOneLinePerProblemAndStatusOne)
{
    const QString path = write(QStringLiteral("IT01234567897_00002.xml"), invoice(GoodTotal, BadTotal).replace("ABC1234", "ABC123"));
    const Outcome r = run({path});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 2) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(r.lines[0], path + QStringLiteral(": 00427 /p:FatturaElettronica/FatturaElettronicaHeader/DatiTrasmissione/CodiceDestinatario: "
                                                "CodiceDestinatario \"ABC123\" di 6 caratteri con FormatoTrasmissione FPR12: ne servono 7"));
    EXPECT_TRUE(r.lines[1].startsWith(path + QStringLiteral(": 00423 /p:FatturaElettronica/FatturaElettronicaBody/DatiBeniServizi/"
                                                            "DettaglioLinee[1]/PrezzoTotale: linea 1: PrezzoTotale 90.05")))
        << r.lines[1].toStdString();
}

TEST_F(FattureCheck, WarningsAloneLetAFilePass)
{
    const QString path = write(QStringLiteral("IT01234567897_00003.xml"), invoice("<IdCodice>09876543217</IdCodice>", "<IdCodice>09876543210</IdCodice>"));
    const Outcome r = run({path});
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(path + QStringLiteral(": avviso 00305 /p:FatturaElettronica/FatturaElettronicaHeader/"
                                                            "CessionarioCommittente/DatiAnagrafici/IdFiscaleIVA/IdCodice: ")))
        << r.lines[0].toStdString();
}

TEST_F(FattureCheck, SignedFilesAreCheckedOnTheirContent)
{
    const QString good = sign(write(QStringLiteral("good.xml"), invoice()), QStringLiteral("IT01234567897_00004.xml.p7m"));
    const QString bad = sign(write(QStringLiteral("bad.xml"), invoice(GoodTotal, BadTotal)), QStringLiteral("IT01234567897_00005.xml.p7m"));
    Outcome r = run({good});
    EXPECT_EQ(r.status, 0) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines.isEmpty());
    r = run({bad});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(bad + QStringLiteral(": 00423 "))) << r.lines[0].toStdString();

    // A signed file whose signature does not match its content any more.
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray altered = f.readAll();
    const qsizetype at = altered.indexOf("Consulenza");
    ASSERT_GT(at, 0);
    altered[at] = 'K';
    const QString tampered = write(QStringLiteral("IT01234567897_00006.xml.p7m"), altered);
    r = run({tampered});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_TRUE(r.lines[0].startsWith(tampered + QStringLiteral(": 00102 "))) << r.lines[0].toStdString();
}

TEST_F(FattureCheck, AFileThatCannotBeReadGivesStatusTwo)
{
    const QString good = write(QStringLiteral("IT01234567897_00007.xml"), invoice());
    const QString bad = write(QStringLiteral("IT01234567897_00008.xml"), invoice(GoodTotal, BadTotal));
    const QString missing = dir.filePath(QStringLiteral("IT01234567897_00009.xml"));
    Outcome r = run({good, missing, bad});
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.lines.size(), 2) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(missing + QStringLiteral(": file IT01234567897_00009.xml: File non trovato")))
        << r.lines[0].toStdString();
    EXPECT_TRUE(r.lines[1].startsWith(bad + QStringLiteral(": 00423 ")));

    r = run({dir.path()});
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_TRUE(r.lines[0].contains(QStringLiteral("non è un file normale"))) << r.lines[0].toStdString();

    r = run({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("uso: fatture-check"))) << r.errors.toStdString();
    r = run({QStringLiteral("--html"), good});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("opzione sconosciuta --html"))) << r.errors.toStdString();
}

TEST_F(FattureCheck, JsonGivesOneObjectPerFile)
{
    const QString good = write(QStringLiteral("IT01234567897_00010.xml"), invoice());
    const QString bad = write(QStringLiteral("IT01234567897_00011.xml"), invoice(GoodTotal, BadTotal));
    const QString missing = dir.filePath(QStringLiteral("nessuno.xml"));
    const Outcome r = run({QStringLiteral("--json"), good, bad, missing});
    EXPECT_EQ(r.status, 2);
    ASSERT_EQ(r.lines.size(), 3) << r.lines.join(QLatin1Char('\n')).toStdString();
    QList<QJsonObject> objects;
    for (const QString &line : r.lines) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8(), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        ASSERT_TRUE(doc.isObject());
        objects << doc.object();
    }
    EXPECT_EQ(objects[0][QStringLiteral("file")].toString(), good);
    EXPECT_EQ(objects[0][QStringLiteral("esito")].toString(), QStringLiteral("valido"));
    EXPECT_TRUE(objects[0][QStringLiteral("problemi")].toArray().isEmpty());
    EXPECT_EQ(objects[1][QStringLiteral("esito")].toString(), QStringLiteral("scartato"));
    const QJsonArray problems = objects[1][QStringLiteral("problemi")].toArray();
    ASSERT_EQ(problems.size(), 1);
    const QJsonObject p = problems[0].toObject();
    EXPECT_EQ(p[QStringLiteral("codice")].toString(), QStringLiteral("00423"));
    EXPECT_EQ(p[QStringLiteral("elemento")].toString(),
              QStringLiteral("/p:FatturaElettronica/FatturaElettronicaBody/DatiBeniServizi/DettaglioLinee[1]/PrezzoTotale"));
    EXPECT_TRUE(p[QStringLiteral("messaggio")].toString().contains(QStringLiteral("PrezzoTotale 90.05")));
    EXPECT_EQ(p[QStringLiteral("gravita")].toString(), QStringLiteral("scarto"));
    EXPECT_EQ(objects[2][QStringLiteral("esito")].toString(), QStringLiteral("non leggibile"));
}

// A reverse-charge nature with a zero rate: right in an issued invoice, refused in a received one.
TEST_F(FattureCheck, ReceivedAppliesTheRulesOfAReceivedInvoice)
{
    QByteArray xml = invoice("<AliquotaIVA>0.00</AliquotaIVA><Natura>N4</Natura></DettaglioLinee>",
                             "<AliquotaIVA>0.00</AliquotaIVA><Natura>N6.3</Natura></DettaglioLinee>");
    xml.replace("<AliquotaIVA>0.00</AliquotaIVA><Natura>N4</Natura><ImponibileImporto>", "<AliquotaIVA>0.00</AliquotaIVA><Natura>N6.3</Natura><ImponibileImporto>");
    const QString path = write(QStringLiteral("fattura del fornitore.xml"), xml);
    Outcome r = run({QStringLiteral("--received"), path});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 2) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(path + QStringLiteral(": 00400 "))) << r.lines[0].toStdString();
    EXPECT_TRUE(r.lines[1].startsWith(path + QStringLiteral(": 00429 "))) << r.lines[1].toStdString();

    // As an issued invoice the same content passes; its name, though, is not one of an invoice file.
    r = run({path});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(path + QStringLiteral(": 00001 "))) << r.lines[0].toStdString();
}

} // namespace
