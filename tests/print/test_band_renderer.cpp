// The band renderer on a small layout of its own: how rows are spread over pages, the
// order in which the band handlers run, a handler's error stopping the output, and the
// fonts standing in for Arial and Times New Roman.
#include "data/app_error.h"
#include "print/band_renderer.h"
#include "print/pdf_output.h"
#include "print/print_fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "test_printing.h"

namespace {

using namespace Report;

// Header 100, footer 50, detail 40: on A4 with 10 mm margins (1046.9 units high) 22 rows fit.
Layout smallLayout()
{
    Layout l;
    l.name = QStringLiteral("prova");
    l.pageHeader.height = 100;
    l.pageHeader.items = {caption(0, 0, 100, 17, QStringLiteral("TESTA"), arial(13)), pageNumber(200, 0, 20, 17, arial(13), Align::Right),
                          field(300, 0, 100, 17, QStringLiteral("conteggio"), arial(13))};
    l.detail.height = 40;
    l.detail.items = {field(0, 0, 200, 17, QStringLiteral("riga.testo"), arial(11))};
    l.pageFooter.height = 50;
    l.pageFooter.items = {caption(0, 0, 100, 17, QStringLiteral("PIEDE"), arial(13))};
    return l;
}

class Rows : public ReportData {
public:
    explicit Rows(int n) : m_n(n) {}
    int rowCount() const override { return m_n; }
    void beforeBand(BandKind band, int page) override
    {
        if (band != BandKind::Detail)
            calls << (band == BandKind::PageHeader ? QStringLiteral("H") : QStringLiteral("F")) + QString::number(page);
        if (failOnPage == page)
            throw AppError(QStringLiteral("guasto"));
        ++m_bands;
    }
    QString text(BandKind band, int row, const QString &name) const override
    {
        if (band == BandKind::Detail)
            return QStringLiteral("riga %1").arg(row + 1);
        return name == QLatin1String("conteggio") ? QString::number(m_bands) : QString();
    }
    QStringList calls;
    int failOnPage = 0;

private:
    int m_n;
    int m_bands = 0;
};

QStringList pdfPages(const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(60000);
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

TEST(BandRenderer, RowsSpreadOverPages)
{
    const Layout l = smallLayout();
    const double a4 = mmToUnits(277);
    EXPECT_EQ(rowsPerPage(l, a4), 22);
    struct Case {
        int rows, pages;
    };
    for (const Case &c : {Case{0, 1}, Case{1, 1}, Case{22, 1}, Case{23, 2}, Case{44, 2}, Case{45, 3}})
        EXPECT_EQ(pageCount(l, c.rows, a4), c.pages) << c.rows;
    // A row whose bottom meets the footer still fits.
    EXPECT_EQ(rowsPerPage(l, 100 + 50 + 3 * 40), 3);
    EXPECT_THROW(rowsPerPage(l, 100 + 50 + 39), AppError);
}

TEST(BandRenderer, EveryPageHasHeaderAndFooterAndItsRows)
{
    QTemporaryDir dir;
    Rows data(23);
    const QString path = dir.filePath(QStringLiteral("prova.pdf"));
    EXPECT_EQ(renderPdf(smallLayout(), data, path), 2);
    EXPECT_EQ(data.calls, (QStringList{"H1", "F1", "H2", "F2"}));
    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(pages[i].contains(QStringLiteral("TESTA")));
        EXPECT_TRUE(pages[i].contains(QStringLiteral("PIEDE")));
    }
    EXPECT_TRUE(pages[0].contains(QStringLiteral("riga 22")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("riga 23")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("riga 23")));
    // The header's fields are drawn after its handler ran on that page.
    EXPECT_TRUE(pages[1].contains(QRegularExpression(QStringLiteral("TESTA\\s+2\\s+25\\b"))));
}

TEST(BandRenderer, AHandlerErrorStopsTheOutputAndWritesNoFile)
{
    QTemporaryDir dir;
    Rows data(30);
    data.failOnPage = 2;
    const QString path = dir.filePath(QStringLiteral("prova.pdf"));
    EXPECT_THROW(renderPdf(smallLayout(), data, path), AppError);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(BandRenderer, FontsStandingInForArialAndTimesNewRomanAreInstalled)
{
    for (const char *family : {"Arial", "Times New Roman"}) {
        const QString use = printFamily(QLatin1String(family));
        EXPECT_TRUE(QFontDatabase::hasFamily(use)) << family << " -> " << use.toStdString();
        if (!QFontDatabase::hasFamily(QLatin1String(family))) {
            EXPECT_TRUE(use.startsWith(QLatin1String("Liberation"))) << use.toStdString();
        }
    }
    EXPECT_DOUBLE_EQ(printFont(arial(13)).pointSizeF(), 9.75);  // 13/96 inch
}

} // namespace
