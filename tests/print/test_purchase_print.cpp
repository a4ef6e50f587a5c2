// The purchase invoice (QR2) rendered to PDF from the data module and read back: the
// supplier as sender and the company as addressee, every purchase line of the table, the
// footer's goods total, expenses, taxable and VAT totals.
#include "print/pdf_output.h"
#include "print_fixture.h"
#include "print/purchase_layout.h"
#include "print/purchase_report.h"

#include <QRegularExpression>

namespace {

using namespace Report;

class PurchasePrint : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        db->insert(QStringLiteral("azienda"), company());
    }

    static QVariantMap purchaseHeader()
    {
        return {{"rag_soc", "Rossi Ingrosso S.p.A."},
                {"indirizzo", "Via Garibaldi 8"},
                {"cap", "10100"},
                {"comune", "Torino"},
                {"p_iva", "11122233344"},
                {"cod_fis", "RSSNGR80A01L219X"},
                {"data_doc", "15/02/2026"},
                {"num_doc", "118"},
                {"tipo_doc", "TD01"},
                {"aliquota", "22"},
                {"imponibile", "90,00"},
                {"imposta", "19,80"},
                {"spese", "5,00"},
                {"sc_perc", "10"},
                {"sc_importo", "10,00"},
                {"tot_doc", "109,80"}};
    }

    int storePurchase(const QVariantMap &header, int lines, const QString &tag)
    {
        const int prot = db->insert(QStringLiteral("test_car"), header);
        for (int i = 1; i <= lines; ++i)
            db->insert(QStringLiteral("dett_car"), {{"prot_car", prot},
                                                    {"prog", i},
                                                    {"codice_val", QStringLiteral("%1%2").arg(tag).arg(i, 2, 10, QLatin1Char('0'))},
                                                    {"descrizione", QStringLiteral("Merce %1 %2").arg(tag).arg(i, 2, 10, QLatin1Char('0'))},
                                                    {"quantita", "2,00"},
                                                    {"prezzo_unit", "4,50"},
                                                    {"sc_perc", "0"},
                                                    {"prezzo_tot", "9,00"},
                                                    {"aliquota", "22"}});
        return prot;
    }

    QStringList printed()
    {
        const int pages = printPurchasePdf(*diz, pdfPath());
        const QStringList text = pdfPages(pdfPath());
        EXPECT_EQ(text.size(), pages);
        return text;
    }
};

bool has(const QString &page, const QString &pattern)
{
    return page.contains(QRegularExpression(pattern));
}

TEST_F(PurchasePrint, FooterGoodsTotalIsDiscountPlusTaxableLessExpenses)
{
    storePurchase(purchaseHeader(), 2, QStringLiteral("A"));
    openData();
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    const QString &p = pages[0];
    // Tot. Merce, Spese, % Sconto and Imp. Sconto side by side, their values on the next line.
    EXPECT_TRUE(has(p, QStringLiteral("Tot\\. Merce\\s+Spese\\s+% Sconto\\s+Imp\\. Sconto"))) << p.toStdString();
    EXPECT_TRUE(has(p, QStringLiteral("95,00\\s+5,00\\s+10\\s+10,00")));
    EXPECT_TRUE(has(p, QStringLiteral("Imponibile\\s+90,00")));
    EXPECT_TRUE(has(p, QStringLiteral("Tot\\. Iva\\s+19,80")));
    EXPECT_TRUE(has(p, QStringLiteral("Totale Fattura\\s+109,80")));
}

// The footer handler: every dot removed before reading, unreadable texts count as 0.
TEST_F(PurchasePrint, FooterTotals)
{
    struct Case {
        const char *what;
        QVariantMap columns;
        const char *goods, *expenses, *taxable, *vat;
    };
    const QVariant null;
    const Case cases[] = {
        {"the example", {{"sc_importo", "10,00"}, {"imponibile", "90,00"}, {"spese", "5,00"}, {"imposta", "19,80"}},
         "95,00", "5,00", "90,00", "19,80"},
        {"two buckets with grouped thousands",
         {{"sc_importo", "1.000,00"}, {"imponibile", "1.234,50"}, {"imponibile2", "2.000,50"}, {"spese", "0,50"},
          {"spese2", "1,50"}, {"imposta", "271,59"}, {"imposta2", "1.000,00"}},
         "4233,00", "2,00", "3235,00", "1271,59"},
        {"unreadable and NULL texts count as 0",
         {{"sc_importo", null}, {"imponibile", "abc"}, {"imponibile2", "12,5"}, {"spese", ""}, {"spese2", null},
          {"imposta", "2,75"}, {"imposta2", "1,2,3"}},
         "12,50", "0,00", "12,50", "2,75"},
        {"a dot as decimal point is removed too", {{"imponibile", "12.50"}}, "1250,00", "0,00", "1250,00", "0,00"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        db->sql().exec(QStringLiteral("DELETE FROM test_car"));
        db->insert(QStringLiteral("test_car"), merged({{"rag_soc", "Fornitore"}}, c.columns));
        openData();
        PurchaseReport data(*diz);
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, PurchaseGoodsTotal), QLatin1String(c.goods));
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, PurchaseExpenses), QLatin1String(c.expenses));
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, PurchaseTaxableTotal), QLatin1String(c.taxable));
        EXPECT_EQ(data.text(BandKind::PageFooter, -1, PurchaseVatTotal), QLatin1String(c.vat));
    }
}

// dett_car follows no header: the lines of every purchase invoice print under the
// header of the current one.
TEST_F(PurchasePrint, TheLinesOfEveryPurchaseInvoicePrintUnderTheCurrentHeader)
{
    storePurchase(purchaseHeader(), 2, QStringLiteral("A"));
    const int second = storePurchase(merged(purchaseHeader(), {{"rag_soc", "Verdi Commercio"}, {"num_doc", "9"}}), 3,
                                     QStringLiteral("B"));
    openData();
    ASSERT_TRUE(diz->Testa_Car.locate(QStringLiteral("prot"), second));
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    const QString &p = pages[0];
    EXPECT_TRUE(p.contains(QLatin1String("Verdi Commercio")));
    EXPECT_FALSE(p.contains(QLatin1String("Rossi Ingrosso")));
    for (const char *line : {"Merce A 01", "Merce A 02", "Merce B 01", "Merce B 03"})
        EXPECT_TRUE(p.contains(QLatin1String(line))) << line;
    EXPECT_TRUE(has(p, QStringLiteral("A01\\s+Merce A 01\\s+2,00\\s+4,50\\s+0\\s+9,00\\s+22")));
}

TEST_F(PurchasePrint, HeaderSupplierAsSenderCompanyAsAddresseeOnEveryPage)
{
    storePurchase(purchaseHeader(), 30, QStringLiteral("A"));
    openData();
    const QStringList pages = printed();
    // 22 rows of 31 units fit between the 245-unit header and the 98-unit footer.
    ASSERT_EQ(pages.size(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i + 1);
        const QString &p = pages[i];
        for (const char *t : {"Rossi Ingrosso S.p.A.", "Via Garibaldi 8", "10100", "Torino", "11122233344",
                              "RSSNGR80A01L219X", "Spett.le", "Norva Forniture S.r.l.", "Via Roma 12", "35100 Padova",
                              "PD", "TIPO DOCUMENTO:", "TD01", "NUM./DATA DOCUMENTO", "COD.ARTICOLO", "DESCRIZIONE",
                              "QUANTITA'", "PREZZO", "%Sc.", "IMPORTO", "Aliquota", "Tot. Merce", "Totale Fattura"})
            EXPECT_TRUE(p.contains(QLatin1String(t))) << t;
        EXPECT_TRUE(has(p, QStringLiteral("118\\s+15/02/2026")));
        EXPECT_FALSE(p.contains(QLatin1String("/ 2026")));  // no year text in this header
        EXPECT_TRUE(has(p, QStringLiteral("PAG\\.\\s+%1\\s*\\n").arg(i + 1)));
    }
    EXPECT_TRUE(pages[0].contains(QLatin1String("Merce A 22")));
    EXPECT_FALSE(pages[0].contains(QLatin1String("Merce A 23")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Merce A 23")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Merce A 30")));
}

TEST_F(PurchasePrint, NoPurchaseInvoiceAndNoLinesPrintsAnEmptyFormOfOnePage)
{
    openData();
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains(QLatin1String("COD.ARTICOLO")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("Tot\\. Merce")));
    EXPECT_TRUE(has(pages[0], QStringLiteral("Imponibile\\s+0,00")));
}

// QR2 has no page frame: nothing is drawn along the margins.
TEST_F(PurchasePrint, NoFrameAroundThePage)
{
    storePurchase(purchaseHeader(), 1, QStringLiteral("A"));
    openData();
    printed();
    const QImage img = pdfImage(pdfPath(), 1, 96);
    const double m = 10 * 96 / 25.4;
    int dark = 0;
    for (int y = int(m) + 300; y < int(m) + 850; ++y)  // between the header and the footer, away from the rows
        dark += qGray(img.pixel(int(m), y)) < 200 || qGray(img.pixel(int(m + 718) - 1, y)) < 200;
    EXPECT_EQ(dark, 0);
    // The rule under the headings (pen 2 at 240.5) crosses the band.
    int rule = 0;
    for (int x = int(m) + 5; x < int(m) + 710; ++x)
        rule += qGray(img.pixel(x, int(m + 240.5))) < 200;
    EXPECT_GT(rule, 690);
}

} // namespace
