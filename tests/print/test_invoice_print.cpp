// The issued invoice (QR1) rendered to PDF from the data module and read back: pages,
// header, lines, footer and page numbers on every page, the document year, the totals
// of the VAT buckets, texts longer than their fields, and a date that stops the printing.
#include "data/app_error.h"
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "print/pdf_output.h"
#include "print_fixture.h"

#include <QFile>
#include <QRegularExpression>

namespace {

using namespace Report;

class InvoicePrint : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        db->insert(QStringLiteral("azienda"), company());
    }

    QStringList printed(int lines, const QVariantMap &header = invoiceHeader())
    {
        openOn(storeInvoice(lines, header));
        const int pages = printInvoicePdf(*diz, pdfPath());
        const QStringList text = pdfPages(pdfPath());
        EXPECT_EQ(text.size(), pages);
        return text;
    }
};

bool has(const QString &page, const QString &pattern)
{
    return page.contains(QRegularExpression(pattern));
}

TEST_F(InvoicePrint, FortyLinesMakeTwoPagesEachWithTheWholeHeaderAndFooter)
{
    const QStringList pages = printed(40);
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString &p = pages[i];
        SCOPED_TRACE(i + 1);
        // Seller, buyer, document data, column headings.
        for (const char *t : {"Norva Forniture S.r.l.", "Via Roma 12", "35100", "Padova", "01234567890", "049 1234567",
                              "info@norva.it", "Spett.le", "Bianchi Mario", "Corso Italia 5", "Milano", "09876543210",
                              "TIPO DOCUMENTO:", "TD01", "NUM./DATA DOCUMENTO", "05/03/2026",
                              "LUOGO DI DESTINAZIONE (SE DIVERSO DAL DOMICILIO)", "COD.ARTICOLO", "DESCRIZIONE",
                              "QUANTITA'", "PREZZO", "%Sc.", "IMPORTO", "Aliquota"})
            EXPECT_TRUE(p.contains(QLatin1String(t))) << t;
        EXPECT_TRUE(has(p, QStringLiteral("42\\s*/ 2026")));
        // The same footer on both pages.
        EXPECT_TRUE(has(p, QStringLiteral("Imponibile\\s+400,00"))) << p.toStdString();
        EXPECT_TRUE(has(p, QStringLiteral("Tot\\. Iva\\s+88,00")));
        EXPECT_TRUE(has(p, QStringLiteral("Totale Fattura\\s+488,00")));
        EXPECT_TRUE(p.contains(QLatin1String("Esenzione")));
        EXPECT_TRUE(p.contains(QLatin1String("Colli")));
        // Its own page number.
        EXPECT_TRUE(has(p, QStringLiteral("PAG\\.\\s+%1\\s*\\n").arg(i + 1)));
    }
    // 29 rows fit between header and footer; the rest goes on to the second page in order.
    EXPECT_TRUE(pages[0].contains(QLatin1String("Articolo 01")));
    EXPECT_TRUE(pages[0].contains(QLatin1String("Articolo 29")));
    EXPECT_FALSE(pages[0].contains(QLatin1String("Articolo 30")));
    EXPECT_FALSE(pages[1].contains(QLatin1String("Articolo 29")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Articolo 30")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Articolo 40")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("C001\\s+Articolo 01\\s+1,00\\s+10,00\\s+0\\s+10,00\\s+22")));
}

TEST_F(InvoicePrint, OnlyTheLinesOfTheCurrentInvoicePrint)
{
    storeInvoice(3, merged(invoiceHeader(), {{"num_doc", "41"}}));
    const QStringList pages = printed(2);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QLatin1String("Articolo 02")));
    EXPECT_FALSE(pages[0].contains(QLatin1String("Articolo 03")));
}

TEST_F(InvoicePrint, AnInvoiceWithNoLinesPrintsHeaderAndFooterOnly)
{
    const QStringList pages = printed(0);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QLatin1String("COD.ARTICOLO")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("Totale Fattura\\s+488,00")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("PAG\\.\\s+1\\s*\\n")));
    EXPECT_FALSE(pages[0].contains(QLatin1String("Articolo")));
}

TEST_F(InvoicePrint, TaxableTotalCountsGroupedBucketAmounts)
{
    const QStringList pages = printed(1, merged(invoiceHeader(), {{"imponibile", "100,00"},
                                                                {"imponibile2", "1.000,00"},
                                                                {"aliquota2", "10"},
                                                                {"imposta", "22,00"},
                                                                {"imposta2", "100,00"},
                                                                {"tot_doc", "1222,00"}}));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(has(pages[0], QStringLiteral("Imponibile\\s+1100,00"))) << pages[0].toStdString();
    EXPECT_TRUE(has(pages[0], QStringLiteral("Tot\\. Iva\\s+122,00")));
    // The bucket fields print their stored text unchanged.
    EXPECT_TRUE(pages[0].contains(QLatin1String("1.000,00")));
}

// The footer handler's totals: every bucket read through the regional settings, a text
// that does not read (or NULL) counting as 0, the sum exact.
TEST_F(InvoicePrint, FooterTotalsOfTheFourBuckets)
{
    struct Case {
        const char *what;
        QVariantMap buckets;
        const char *taxable, *vat;
    };
    const QVariant null;
    const Case cases[] = {
        {"one bucket", {{"imponibile", "400,00"}, {"imposta", "88,00"}}, "400,00", "88,00"},
        {"four buckets, grouped thousands",
         {{"imponibile", "1.234,50"}, {"imponibile2", "0,10"}, {"imponibile3", "0,20"}, {"imponibile4", "2.000.000,00"},
          {"imposta", "271,59"}, {"imposta2", "0,01"}, {"imposta3", "0,02"}, {"imposta4", "440.000,00"}},
         "2001234,80", "440271,62"},
        {"unreadable and NULL terms count as 0, the others still count",
         {{"imponibile", "abc"}, {"imponibile2", null}, {"imponibile3", "10,5"}, {"imponibile4", ""},
          {"imposta", "2,31"}, {"imposta2", "1,2,3"}, {"imposta3", null}, {"imposta4", " "}},
         "10,50", "2,31"},
        {"no amounts", {{"imponibile", null}, {"imposta", null}}, "0,00", "0,00"},
        {"negative amounts (credit note)", {{"imponibile", "-100,00"}, {"imposta", "-22,00"}}, "-100,00", "-22,00"},
        {"sum rounds half away from zero", {{"imponibile", "0,005"}, {"imposta", "0,004"}}, "0,01", "0,00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        openOn(storeInvoice(0, merged(invoiceHeader(), c.buckets)));
        InvoiceReport data(*diz);
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, InvoiceTaxableTotal), QLatin1String(c.taxable));
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, InvoiceVatTotal), QLatin1String(c.vat));
    }
}

TEST_F(InvoicePrint, TheYearOfTheDocumentDateStandsBesideTheNumber)
{
    const QStringList pages = printed(1, merged(invoiceHeader(), {{"data_doc", "31/12/2025"}, {"num_doc", "7"}}));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(has(pages[0], QStringLiteral("7\\s*/ 2025\\s+31/12/2025"))) << pages[0].toStdString();

    struct Case {
        const char *date, *year;
    };
    for (const Case &c : {Case{"31/12/2025", "/ 2025"}, Case{"05/03/2026", "/ 2026"}, Case{"1/2/2027", "/ 2027"},
                          Case{"29/02/2024", "/ 2024"}})
        EXPECT_EQ(InvoiceReport::yearText(QLatin1String(c.date)), QLatin1String(c.year)) << c.date;
}

// A document date that is empty, NULL or not a date raises before anything is rendered:
// no file is written and an earlier file of the same name stays as it was.
TEST_F(InvoicePrint, AMissingOrUnreadableDateStopsThePrintingBeforeAnyPage)
{
    QFile earlier(pdfPath());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier");
    earlier.close();
    for (const QVariant &date : {QVariant(QString()), QVariant(), QVariant(QStringLiteral("31/13/2025")),
                                 QVariant(QStringLiteral("domani")), QVariant(QStringLiteral("2025-12-31"))}) {
        SCOPED_TRACE(date.toString().toStdString());
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        openOn(storeInvoice(2, merged(invoiceHeader(), {{"data_doc", date}})));
        EXPECT_THROW(InvoiceReport{*diz}, ConversionError);
        EXPECT_THROW(printInvoicePdf(*diz, pdfPath()), ConversionError);
        QFile f(pdfPath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("earlier"));
    }
}

TEST_F(InvoicePrint, NoCurrentInvoiceHasNoDateAndRaises)
{
    openData();
    ASSERT_TRUE(diz->Testata.isEmpty());
    EXPECT_THROW(printInvoicePdf(*diz, pdfPath()), ConversionError);
}

// A text wider than its field: a description is cut inside its field, amounts print whole
// (drawn narrower), the buyer's VAT number and the date take the width of their text.
TEST_F(InvoicePrint, TextsWiderThanTheirFields)
{
    const QString longDescription = QStringLiteral("INIZIO") + QString(80, u'x') + QStringLiteral("FINE");
    const int id = db->insert(QStringLiteral("testata"), invoiceHeader());
    db->insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", 1}, {"codice_val", "CODICE-MOLTO-LUNGO-ZZZZ"},
                                             {"descrizione", longDescription}, {"quantita", "1234567,000"},
                                             {"prezzo_tot", "987654321,00"}, {"aliquota", "22"}});
    openOn(id);
    printInvoicePdf(*diz, pdfPath());
    const QStringList pages = pdfPages(pdfPath());
    ASSERT_EQ(pages.size(), 1);
    const QString &p = pages[0];
    EXPECT_TRUE(p.contains(QLatin1String("INIZIOxxx")));
    EXPECT_FALSE(p.contains(QLatin1String("FINE")));
    EXPECT_FALSE(p.contains(QLatin1String("ZZZZ")));  // the end of the code is cut
    EXPECT_TRUE(p.contains(QLatin1String("CODICE")));
    EXPECT_TRUE(p.contains(QLatin1String("987654321,00")));
    EXPECT_TRUE(p.contains(QLatin1String("1234567,000")));
    EXPECT_TRUE(p.contains(QLatin1String("09876543210")));
    EXPECT_TRUE(p.contains(QLatin1String("05/03/2026")));
}

// Page geometry at 96 dpi, where one layout unit is one pixel: the frame lies on the
// 10 mm margins, the header's rules and the column separators where the layout puts them.
TEST_F(InvoicePrint, PageGeometryOnTheRenderedImage)
{
    openOn(storeInvoice(3));
    printInvoicePdf(*diz, pdfPath());
    const QImage img = pdfImage(pdfPath(), 1, 96);
    ASSERT_EQ(img.width(), 794);   // 210 mm
    ASSERT_EQ(img.height(), 1123); // 297 mm
    const double m = 10 * 96 / 25.4;  // the margin, 37.8 px
    const auto dark = [&](int x, int y) { return qGray(img.pixel(x, y)) < 200; };
    // Share of dark pixels along a row (from x0 to x1) or a column (y0 to y1).
    const auto rowShare = [&](int y, double x0, double x1) {
        int n = 0, d = 0;
        for (int x = int(m + x0) + 2; x < int(m + x1) - 2; ++x, ++n)
            d += dark(x, y);
        return double(d) / n;
    };
    const auto columnShare = [&](int x, double y0, double y1) {
        int n = 0, d = 0;
        for (int y = int(m + y0) + 2; y < int(m + y1) - 2; ++y, ++n)
            d += dark(x, y);
        return double(d) / n;
    };
    // A full rule near `at` (layout units from the margin), within a pixel or two.
    const auto ruleAt = [&](double at, double x0, double x1) {
        for (int y = int(m + at) - 2; y <= int(m + at) + 2; ++y)
            if (rowShare(y, x0, x1) > 0.97)
                return true;
        return false;
    };
    const auto separatorAt = [&](double at, double y0, double y1) {
        for (int x = int(m + at) - 2; x <= int(m + at) + 2; ++x)
            if (columnShare(x, y0, y1) > 0.97)
                return true;
        return false;
    };
    const double areaH = 277 * 96 / 25.4, areaW = 190 * 96 / 25.4;
    // The frame on the margins, and nothing outside it.
    EXPECT_TRUE(ruleAt(0.5, 0, areaW));
    EXPECT_TRUE(ruleAt(areaH - 0.5, 0, areaW));
    EXPECT_TRUE(separatorAt(0.5, 0, areaH));
    EXPECT_TRUE(separatorAt(areaW - 0.5, 0, areaH));
    for (int y = 0; y < img.height(); ++y)
        for (int x : {0, 20, int(m) - 2, int(m + areaW) + 2, 780})
            ASSERT_FALSE(dark(x, y)) << x << "," << y;
    for (int x = 0; x < img.width(); ++x)
        for (int y : {0, 20, int(m) - 2, int(m + areaH) + 2, 1110})
            ASSERT_FALSE(dark(x, y)) << x << "," << y;
    // The header's rules: the two pen-2 lines and the band's bottom edge.
    EXPECT_TRUE(ruleAt(196, 0, 715));
    EXPECT_TRUE(ruleAt(252.5, 0, 717));
    EXPECT_TRUE(ruleAt(282.5, 0, 718));
    EXPECT_FALSE(ruleAt(230, 0, 715));
    // The bottom edges of the three detail rows.
    for (int row = 1; row <= 3; ++row)
        EXPECT_TRUE(ruleAt(283 + 21 * row - 0.5, 0, 718)) << row;
    EXPECT_FALSE(ruleAt(283 + 21 * 4 - 0.5, 0, 718));
    // The column separators of the heading row and of the detail rows.
    for (double x : {90.5, 400.5, 467.5, 533.5, 571.5, 658.5}) {
        EXPECT_TRUE(separatorAt(x, 253, 280)) << x;
        EXPECT_TRUE(separatorAt(x, 283, 283 + 3 * 21)) << x;
    }
    EXPECT_TRUE(separatorAt(714.5, 252, 282));
    // The footer's totals box (pen 2) at the foot of the page.
    const double footerTop = areaH - 147;
    EXPECT_TRUE(ruleAt(footerTop + 3, 520, 710));
    EXPECT_TRUE(ruleAt(footerTop + 76, 520, 710));
    // The seller box.
    EXPECT_TRUE(ruleAt(4.5, 8, 409));
    EXPECT_TRUE(separatorAt(8.5, 4, 143));
}

} // namespace
