// fatture-view, the command that renders a FatturaPA file outside the program: the page
// as HTML (to a file or the standard output) or PDF, a signed file, and the Italian
// message with exit status 1 for a file it cannot render, writing nothing.
#include "rendering/fattura_html.h"
#include "rendering_fixture.h"

namespace {

using namespace RenderTest;

struct ViewRun {
    int exitCode = -1;
    QByteArray out, err;
};

ViewRun view(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(XN_VIEW_PROGRAM), args);
    ViewRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << "fatture-view did not finish";
        return r;
    }
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

class FattureView : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const QString sample = dataFile(QStringLiteral("IT01234567890_FPR03.xml"));
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
};

TEST_F(FattureView, WritesThePageAsHtmlAndPdf)
{
    const QByteArray expected = Rendering::renderFatturaFile(sample).html;
    ASSERT_FALSE(expected.isEmpty());

    const QString html = dir.filePath(QStringLiteral("fattura.html"));
    const QString pdf = dir.filePath(QStringLiteral("fattura.pdf"));
    const ViewRun r = view({QStringLiteral("--html"), html, QStringLiteral("--pdf"), pdf, sample});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(readAll(html), expected);
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF-"));

    // Without an output file the page goes to the standard output.
    const ViewRun toStdout = view({sample});
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, expected);
}

TEST_F(FattureView, RendersASignedFile)
{
    const Signer signer(dir);
    const QString signedPath = dir.filePath(QStringLiteral("IT01234567890_FPR03.xml.p7m"));
    writeFile(signedPath, signer.sign(sample));
    const QString html = dir.filePath(QStringLiteral("firmata.html"));
    const ViewRun r = view({QStringLiteral("--html"), html, signedPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(html), Rendering::renderFatturaFile(sample).html);
}

TEST_F(FattureView, AFileItCannotRenderGivesTheMessageAndWritesNothing)
{
    const QString html = dir.filePath(QStringLiteral("fattura.html"));
    writeFile(html, "precedente");
    const QString missing = dir.filePath(QStringLiteral("manca.xml"));
    const ViewRun r = view({QStringLiteral("--html"), html, missing});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromLocal8Bit(r.err).trimmed(), QStringLiteral("Impossibile visualizzare il file %1: file non trovato").arg(missing));
    EXPECT_EQ(readAll(html), QByteArray("precedente"));

    // An output that cannot be written.
    const QString nowhere = dir.filePath(QStringLiteral("manca/fattura.html"));
    const ViewRun unwritable = view({QStringLiteral("--html"), nowhere, sample});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(QString::fromLocal8Bit(unwritable.err).startsWith(QStringLiteral("Impossibile scrivere il file %1").arg(nowhere)));
}

TEST_F(FattureView, WrongUsageShowsHowToCallIt)
{
    for (const QStringList &args : {QStringList{}, QStringList{"--html"}, QStringList{"--xml", "a", "b"}, QStringList{"a.xml", "b.xml"},
                                    QStringList{"--html", "a.html", "--html", "b.html", "c.xml"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const ViewRun r = view(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.startsWith("Uso: fatture-view")) << r.err.toStdString();
    }
}

} // namespace
