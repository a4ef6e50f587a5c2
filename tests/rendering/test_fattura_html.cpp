// A FatturaPA file rendered as HTML with the revenue agency's stylesheets: the official
// samples of both formats, a signed envelope, the stylesheet chosen by the transmission
// format, a file that declares entities (refused without reading them), and every file
// that cannot be shown giving one Italian message naming it.
#include "rendering/agency_stylesheet.h"
#include "rendering/fattura_html.h"
#include "rendering_fixture.h"

#include <QFileInfo>
#include <QUrl>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace RenderTest;

// Each phrase found in `text` after the one before it; fails naming the first one missing.
void expectInOrder(const QString &text, const QStringList &phrases)
{
    qsizetype from = 0;
    for (const QString &phrase : phrases) {
        const qsizetype at = text.indexOf(phrase, from);
        ASSERT_GE(at, 0) << "not found (in this order): " << phrase.toStdString();
        from = at + phrase.size();
    }
}

struct BodyShown {
    const char *date, *number, *total;  // total as the page labels it
    QStringList descriptions;
};

struct Sample {
    const char *file, *format, *seller, *buyer;
    QList<BodyShown> bodies;
};

const QString Long1 = QStringLiteral("LA DESCRIZIONE DELLA FORNITURA PUO' SUPERARE I CENTO CARATTERI CHE RAPPRESENTAVANO IL "
                                     "PRECEDENTE LIMITE DIMENSIONALE. TALE LIMITE NELLA NUOVA VERSIONE E' STATO PORTATO A MILLE CARATTERI");
const QString Long2 = QStringLiteral("PRESTAZIONE DEL SEGUENTE SERVIZIO PROFESSIONALE: LA DESCRIZIONE DELLA PRESTAZIONE PUO' SUPERARE I "
                                     "CENTO CARATTERI CHE RAPPRESENTAVANO IL PRECEDENTE LIMITE DIMENSIONALE. TALE LIMITE NELLA NUOVA "
                                     "VERSIONE E' STATO PORTATO A MILLE CARATTERI");

// The official samples: none states ImportoTotaleDocumento, so the total shown is the
// amount of its one payment (taxable amount plus VAT).
const QList<Sample> &samples()
{
    static const QList<Sample> all{
        {"IT01234567890_FPA01.xml", "FPA12", "ALPHA SRL", "AMMINISTRAZIONE BETA",
         {{"2017-01-18", "123", "Importo: 6.10", {"DESCRIZIONE DELLA FORNITURA"}}}},
        {"IT01234567890_FPA02.xml", "FPA12", "ALPHA SRL", "AMMINISTRAZIONE BETA",
         {{"2017-01-18", "123", "Importo: 30.50", {Long1, "FORNITURE VARIE PER UFFICIO"}}}},
        {"IT01234567890_FPA03.xml", "FPA12", "ALPHA SRL", "AMMINISTRAZIONE BETA",
         {{"2017-01-18", "12", "Importo: 30.50", {Long1, "FORNITURE VARIE PER UFFICIO"}},
          {"2017-01-20", "456", "Importo: 2440.00", {Long2}}}},
        {"IT01234567890_FPR01.xml", "FPR12", "SOCIETA' ALPHA SRL", "DITTA BETA",
         {{"2014-12-18", "123", "Importo: 6.10", {"DESCRIZIONE DELLA FORNITURA"}}}},
        {"IT01234567890_FPR02.xml", "FPR12", "SOCIETA' ALPHA SRL", "BETA GAMMA",
         {{"2014-12-18", "123", "Importo: 32.95", {Long1, "FORNITURE VARIE PER UFFICIO"}}}},
        {"IT01234567890_FPR03.xml", "FPR12", "SOCIETA' ALPHA SRL", "BETA GAMMA",
         {{"2014-12-18", "123", "Importo: 32.95", {Long1, "FORNITURE VARIE PER UFFICIO"}},
          {"2014-12-20", "456", "Importo: 2440.00", {Long2}}}},
    };
    return all;
}

// The seller, the buyer, then per body its date, number, every line and the total.
void expectShows(const QString &text, const Sample &s)
{
    QStringList phrases{QStringLiteral("Dati del cedente / prestatore"), QStringLiteral("Denominazione: %1").arg(QLatin1String(s.seller)),
                        QStringLiteral("Dati del cessionario / committente"), QStringLiteral("Denominazione: %1").arg(QLatin1String(s.buyer))};
    for (const BodyShown &b : s.bodies) {
        phrases << QStringLiteral("Data documento: %1").arg(QLatin1String(b.date))
                << QStringLiteral("Numero documento: %1 ").arg(QLatin1String(b.number));
        for (const QString &d : b.descriptions)
            phrases << QStringLiteral("Descrizione bene/servizio: ") + d;
        phrases << QLatin1String(b.total);
    }
    expectInOrder(text, phrases);
}

TEST(FatturaHtml, EveryOfficialSampleShowsSellerBuyerNumberDateLinesAndTotal)
{
    for (const Sample &s : samples()) {
        SCOPED_TRACE(s.file);
        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(dataFile(QLatin1String(s.file)));
        ASSERT_TRUE(out.ok) << out.error.toStdString();
        EXPECT_EQ(out.format, QLatin1String(s.format));
        EXPECT_TRUE(out.html.startsWith("<html")) << out.html.left(80).toStdString();
        EXPECT_TRUE(out.error.isEmpty());
        const QString text = shownText(out.html);
        expectShows(text, s);
        // The page is UTF-8 and its accented captions arrive whole.
        EXPECT_TRUE(text.contains(QStringLiteral("Quantità:"))) << text.left(400).toStdString();
    }
}

TEST(FatturaHtml, TheTransmissionFormatChoosesTheStylesheet)
{
    const QByteArray ordinary = readAll(dataFile(QStringLiteral("IT01234567890_FPR01.xml")));
    ASSERT_TRUE(ordinary.contains("<FormatoTrasmissione>FPR12</FormatoTrasmissione>"));
    QByteArray asPublic = ordinary;
    asPublic.replace("<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<FormatoTrasmissione>FPA12</FormatoTrasmissione>");
    QByteArray noFormat = ordinary;  // the root's versione="FPR12" decides
    noFormat.replace("<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "");
    ASSERT_NE(noFormat, ordinary);

    const struct {
        const char *name;
        QByteArray content;
        const char *format, *recipientCaption;
    } cases[] = {
        {"ordinaria.xml", ordinary, "FPR12", "Codice identificativo destinatario: ABC1234"},
        {"pa.xml", asPublic, "FPA12", "Codice Amministrazione destinataria: ABC1234"},
        {"senza_formato.xml", noFormat, "FPR12", "Codice identificativo destinatario: ABC1234"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const Rendering::FatturaHtml out = Rendering::renderFatturaData(c.content, QLatin1String(c.name));
        ASSERT_TRUE(out.ok) << out.error.toStdString();
        EXPECT_EQ(out.format, QLatin1String(c.format));
        EXPECT_TRUE(shownText(out.html).contains(QLatin1String(c.recipientCaption)));
    }
}

TEST(FatturaHtml, ASignedFileShowsWhatItsSignatureCovers)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Signer signer(dir);
    const Sample &fpa03 = samples()[2];
    const QByteArray der = signer.sign(dataFile(QLatin1String(fpa03.file)));
    ASSERT_FALSE(der.isEmpty());
    const QByteArray pem = "-----BEGIN PKCS7-----\n" + der.toBase64() + "\n-----END PKCS7-----\n";

    for (const auto &[name, bytes] : {std::pair{"der.xml.p7m", der}, std::pair{"pem.xml.p7m", pem}}) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QLatin1String(name));
        writeFile(path, bytes);
        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(path);
        ASSERT_TRUE(out.ok) << out.error.toStdString();
        EXPECT_EQ(out.format, QStringLiteral("FPA12"));
        expectShows(shownText(out.html), fpa03);
    }

    // An envelope whose content was changed after signing is not shown.
    QByteArray tampered = der;
    const qsizetype at = tampered.indexOf("ALPHA SRL");
    ASSERT_GT(at, 0);
    tampered[at] = 'B';
    const QString path = dir.filePath(QStringLiteral("alterata.xml.p7m"));
    writeFile(path, tampered);
    const Rendering::FatturaHtml out = Rendering::renderFatturaFile(path);
    EXPECT_FALSE(out.ok);
    EXPECT_TRUE(out.html.isEmpty());
    EXPECT_EQ(out.error, QStringLiteral("Impossibile visualizzare il file %1: la firma del file non corrisponde al contenuto")
                             .arg(QDir::toNativeSeparators(path)));
}

// The official sample with a document type declaration in front of its root that names
// `target` as an external entity, in three ways.
QList<std::pair<const char *, QByteArray>> declaringEntities(const QString &target)
{
    const QByteArray sample = readAll(dataFile(QStringLiteral("IT01234567890_FPR01.xml")));
    const qsizetype root = sample.indexOf("<p:FatturaElettronica");
    EXPECT_GT(root, 0);
    const QByteArray url = QUrl::fromLocalFile(target).toEncoded();
    auto withDoctype = [&](const QByteArray &doctype, bool referenced) {
        QByteArray out = sample.left(root) + doctype + "\n" + sample.mid(root);
        if (referenced)
            out.replace("<Descrizione>DESCRIZIONE DELLA FORNITURA</Descrizione>", "<Descrizione>&segreto;</Descrizione>");
        return out;
    };
    return {
        {"entita generale", withDoctype("<!DOCTYPE p:FatturaElettronica [\n<!ENTITY segreto SYSTEM \"" + url + "\">\n]>", true)},
        {"entita parametro", withDoctype("<!DOCTYPE p:FatturaElettronica [\n<!ENTITY % esterna SYSTEM \"" + url + "\">\n%esterna;\n]>", false)},
        {"DTD esterna", withDoctype("<!DOCTYPE p:FatturaElettronica SYSTEM \"" + url + "\">", false)},
    };
}

TEST(FatturaHtml, AFileDeclaringEntitiesIsRefusedWithoutReadingThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString secret = dir.filePath(QStringLiteral("segreto.txt"));
    writeFile(secret, "SEGRETO-DAL-DISCO");

    // The general entity is a real one: a parser that substitutes entities reads the file.
    const QByteArray general = declaringEntities(secret)[0].second;
    xmlDoc *permissive = xmlReadMemory(general.constData(), int(general.size()), nullptr, nullptr,
                                       XML_PARSE_NOENT | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    ASSERT_TRUE(permissive);
    xmlChar *content = xmlNodeGetContent(xmlDocGetRootElement(permissive));
    EXPECT_TRUE(QByteArray(reinterpret_cast<const char *>(content)).contains("SEGRETO-DAL-DISCO"));
    xmlFree(content);
    xmlFreeDoc(permissive);

    for (const auto &[kind, bytes] : declaringEntities(secret)) {
        SCOPED_TRACE(kind);
        const QString path = dir.filePath(QStringLiteral("dichiara.xml"));
        writeFile(path, bytes);
        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(path);
        EXPECT_FALSE(out.ok);
        EXPECT_FALSE(out.html.contains("SEGRETO"));
        EXPECT_EQ(out.error, QStringLiteral("Impossibile visualizzare il file %1: il file contiene una dichiarazione DOCTYPE, "
                                            "non ammessa in una fattura elettronica")
                                 .arg(QDir::toNativeSeparators(path)));
    }

    // Never even opened: opening a named pipe for reading waits until someone writes into
    // it, so a renderer that opened the entity would not come back.
    const QString pipe = dir.filePath(QStringLiteral("tubo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const auto &[kind, bytes] : declaringEntities(pipe)) {
        SCOPED_TRACE(kind);
        auto rendering = std::async(std::launch::async, [bytes = bytes] { return Rendering::renderFatturaData(bytes, "tubo.xml"); });
        if (rendering.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
            ADD_FAILURE() << "the renderer opened the entity's file";
            const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);  // lets it go
            if (writer >= 0)
                ::close(writer);
        }
        EXPECT_FALSE(rendering.get().ok);
    }
}

TEST(FatturaHtml, AFileThatCannotBeShownGivesOneItalianMessageNamingIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray sample = readAll(dataFile(QStringLiteral("IT01234567890_FPR01.xml")));
    QByteArray otherNamespace = sample;
    otherNamespace.replace("http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2", "urn:altro");
    QByteArray simplified = sample;
    simplified.replace("<FormatoTrasmissione>FPR12</FormatoTrasmissione>", "<FormatoTrasmissione>FSM10</FormatoTrasmissione>");

    const struct {
        const char *name;
        std::optional<QByteArray> content;  // none: no such file
        QString reason;
    } cases[] = {
        {"mancante.xml", std::nullopt, QStringLiteral("file non trovato")},
        {"vuoto.xml", QByteArray(), QStringLiteral("il file non e un XML e non e un file firmato leggibile")},
        {"testo.xml", QByteArray("Gentile cliente, ecco la fattura"), QStringLiteral("il file non e un XML e non e un file firmato leggibile")},
        {"troncato.xml", sample.left(sample.size() / 2), QStringLiteral("il file non e un XML ben formato")},
        {"pagina.xml", QByteArray("<html><body>fattura</body></html>"), QStringLiteral("il file non e una fattura elettronica FatturaPA")},
        {"altro_spazio.xml", otherNamespace, QStringLiteral("il file non e una fattura elettronica FatturaPA")},
        {"semplificata.xml", simplified, QStringLiteral("formato di trasmissione non gestito: \"FSM10\" (previsti FPR12 e FPA12)")},
        {"rotta.xml.p7m", QByteArray("\x30\x82\x01\x00\x06\x09", 6), QStringLiteral("il file non e un XML e non e un file firmato leggibile")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QLatin1String(c.name));
        if (c.content)
            writeFile(path, *c.content);
        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(path);
        EXPECT_FALSE(out.ok);
        EXPECT_TRUE(out.html.isEmpty());
        const QString start = QStringLiteral("Impossibile visualizzare il file %1: ").arg(QDir::toNativeSeparators(path));
        EXPECT_TRUE(out.error.startsWith(start + c.reason)) << out.error.toStdString();
    }

    // A folder and a file too large to be an invoice are not read.
    EXPECT_EQ(Rendering::renderFatturaFile(dir.path()).error,
              QStringLiteral("Impossibile visualizzare il file %1: non e un file").arg(QDir::toNativeSeparators(dir.path())));
    QFile big(dir.filePath(QStringLiteral("enorme.xml")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(Rendering::MaxFatturaFileSize + 1));
    big.close();
    EXPECT_TRUE(Rendering::renderFatturaFile(big.fileName()).error.endsWith(QStringLiteral("file troppo grande (20971521 byte)")));
}

TEST(FatturaHtml, AStylesheetThatIsMissingOrBrokenGivesAMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sample = dataFile(QStringLiteral("IT01234567890_FPR01.xml"));
    struct Restore {
        ~Restore() { Rendering::setStylesheetFolder({}); }
    } restore;

    Rendering::setStylesheetFolder(dir.path());
    const QString ordinary = QDir(dir.path()).filePath(QLatin1String(Rendering::OrdinaryStylesheet));
    Rendering::FatturaHtml out = Rendering::renderFatturaFile(sample);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, QStringLiteral("Impossibile visualizzare il file %1: foglio di stile non trovato: %2")
                             .arg(QDir::toNativeSeparators(sample), QDir::toNativeSeparators(ordinary)));

    // Well-formed, but its expression does not compile.
    writeFile(ordinary, "<?xml version=\"1.0\"?>\n<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                        "<xsl:template match=\"/\"><p><xsl:value-of select=\"1 +\"/></p></xsl:template></xsl:stylesheet>\n");
    out = Rendering::renderFatturaFile(sample);
    EXPECT_FALSE(out.ok);
    EXPECT_TRUE(out.error.startsWith(QStringLiteral("Impossibile visualizzare il file %1: foglio di stile non valido: %2")
                                         .arg(QDir::toNativeSeparators(sample), QDir::toNativeSeparators(ordinary))))
        << out.error.toStdString();

    // A stylesheet may not read other files (document()).
    const QString reading = QDir(dir.path()).filePath(QStringLiteral("legge"));
    ASSERT_TRUE(QDir().mkpath(reading));
    writeFile(QDir(reading).filePath(QLatin1String(Rendering::OrdinaryStylesheet)),
              "<?xml version=\"1.0\"?>\n<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
              "<xsl:template match=\"/\"><p><xsl:value-of select=\"document('" + QUrl::fromLocalFile(sample).toEncoded()
                  + "')\"/></p></xsl:template></xsl:stylesheet>\n");
    Rendering::setStylesheetFolder(reading);
    out = Rendering::renderFatturaFile(sample);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.html.contains("ALPHA"));
    EXPECT_TRUE(out.error.startsWith(QStringLiteral("Impossibile visualizzare il file %1: il foglio di stile non ha potuto trasformare il file")
                                         .arg(QDir::toNativeSeparators(sample))))
        << out.error.toStdString();

    // Back to the shipped ones.
    Rendering::setStylesheetFolder({});
    EXPECT_TRUE(Rendering::renderFatturaFile(sample).ok);
}

} // namespace
