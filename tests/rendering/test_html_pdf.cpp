// A rendered invoice saved as PDF: written whole, or not at all (an existing file of the
// same name stays as it was and nothing else is left in the folder).
#include "data/app_error.h"
#include "rendering/fattura_html.h"
#include "rendering/html_pdf.h"
#include "rendering_fixture.h"

#include <csignal>
#include <sys/resource.h>

namespace {

using namespace RenderTest;

class HtmlPdf : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray html;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        const Rendering::FatturaHtml out = Rendering::renderFatturaFile(dataFile(QStringLiteral("IT01234567890_FPA03.xml")));
        ASSERT_TRUE(out.ok) << out.error.toStdString();
        html = out.html;
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    // The message of the AppError that writing to `path` raises; empty when none.
    QString failure(const QString &path)
    {
        try {
            Rendering::writeHtmlPdf(html, path, QStringLiteral("prova"));
        } catch (const AppError &e) {
            return e.text();
        }
        return {};
    }

    static QString pdfText(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }
};

TEST_F(HtmlPdf, TheWholePageIsWrittenAsPdf)
{
    const QString path = dir.filePath(QStringLiteral("fattura.pdf"));
    EXPECT_EQ(failure(path), QString());
    const QByteArray pdf = readAll(path);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("fattura.pdf")});
    const QString text = pdfText(path);
    for (const char *shown : {"ALPHA SRL", "AMMINISTRAZIONE BETA", "Numero documento: 456", "FORNITURE VARIE PER UFFICIO", "2440.00"})
        EXPECT_TRUE(text.contains(QLatin1String(shown))) << shown;
}

TEST_F(HtmlPdf, AFileThatCannotBeWrittenLeavesNothingBehind)
{
    // No such folder.
    const QString missing = dir.filePath(QStringLiteral("manca/fattura.pdf"));
    EXPECT_TRUE(failure(missing).startsWith(QStringLiteral("Impossibile scrivere il file %1: ").arg(QDir::toNativeSeparators(missing))));
    // The name of a folder: the folder stays, no temporary file is left.
    const QString folder = dir.filePath(QStringLiteral("cartella.pdf"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(failure(folder).startsWith(QStringLiteral("Impossibile scrivere il file %1: ").arg(QDir::toNativeSeparators(folder))));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(entries(), QStringList{QStringLiteral("cartella.pdf")});
}

TEST_F(HtmlPdf, AWriteThatFailsHalfwayLeavesTheOldFileAsItWas)
{
    const QString path = dir.filePath(QStringLiteral("fattura.pdf"));
    const QByteArray old = "la versione precedente";
    writeFile(path, old);

    // The disk fills up after 4 KB: every file this process writes stops there.
    struct rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = failure(path);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(message.startsWith(QStringLiteral("Impossibile scrivere il file %1: ").arg(QDir::toNativeSeparators(path)))) << message.toStdString();
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(entries(), QStringList{QStringLiteral("fattura.pdf")});

    // With room again the same call replaces it whole.
    EXPECT_EQ(failure(path), QString());
    EXPECT_TRUE(readAll(path).startsWith("%PDF-"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("fattura.pdf")});
}

} // namespace
