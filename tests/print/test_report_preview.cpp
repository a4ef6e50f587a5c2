// The print preview around the rendered pages: page count, navigation, zoom, printing on
// the preview's printer and saving as PDF through the file dialog.
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "print_fixture.h"
#include "print/report_preview.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>

namespace {

using namespace Report;

class Preview : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        db->insert(QStringLiteral("azienda"), company());
        openOn(storeInvoice(40));
        data = std::make_unique<InvoiceReport>(*diz);
        preview = std::make_unique<ReportPreview>(invoiceLayout(), *data);
        preview->show();
        preview->view()->updatePreview();
    }

    QString position() const { return preview->findChild<QLabel *>(QStringLiteral("posizione"))->text().trimmed(); }
    void trigger(const char *action) { preview->findChild<QAction *>(QLatin1String(action))->trigger(); }

    std::unique_ptr<InvoiceReport> data;
    std::unique_ptr<ReportPreview> preview;
};

TEST_F(Preview, PagesAndNavigation)
{
    EXPECT_EQ(preview->pageCount(), 2);
    EXPECT_EQ(preview->currentPage(), 1);
    struct Step {
        const char *action;
        int page;
    };
    for (const Step &s : {Step{"paginaSuccessiva", 2}, Step{"paginaSuccessiva", 2}, Step{"paginaPrecedente", 1},
                          Step{"paginaPrecedente", 1}, Step{"ultimaPagina", 2}, Step{"primaPagina", 1}}) {
        trigger(s.action);
        EXPECT_EQ(preview->currentPage(), s.page) << s.action;
        EXPECT_EQ(position(), QStringLiteral("Pagina %1 di 2").arg(s.page)) << s.action;
    }
}

TEST_F(Preview, Zoom)
{
    trigger("dimensioneReale");
    EXPECT_EQ(preview->view()->zoomMode(), QPrintPreviewWidget::CustomZoom);
    EXPECT_DOUBLE_EQ(preview->view()->zoomFactor(), 1.0);
    trigger("adattaLarghezza");
    EXPECT_EQ(preview->view()->zoomMode(), QPrintPreviewWidget::FitToWidth);
    trigger("adattaPagina");
    EXPECT_EQ(preview->view()->zoomMode(), QPrintPreviewWidget::FitInView);
    for (const char *a : {"impostaStampante", "stampa", "salvaPdf", "chiudi"})
        EXPECT_NE(preview->findChild<QAction *>(QLatin1String(a)), nullptr) << a;
}

// Printing renders the pages anew on the preview's printer, here one that writes a file.
TEST_F(Preview, PrintingRendersEveryPageOnThePrinter)
{
    QPrinter &printer = preview->printer();
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Millimeter), QMarginsF(10, 10, 10, 10));
    printer.setOutputFileName(pdfPath(QStringLiteral("stampante.pdf")));
    preview->view()->print();
    const QStringList pages = pdfPages(pdfPath(QStringLiteral("stampante.pdf")));
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[1].contains(QLatin1String("Articolo 40")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("Totale Fattura")));
}

TEST_F(Preview, SaveAsPdfAsksForTheFileAndWritesEveryPage)
{
    const QString path = pdfPath(QStringLiteral("salvata.pdf"));
    bool asked = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<QFileDialog *>(w); d && d->isVisible() && d->objectName() == QLatin1String("salvaPdfDialog")) {
                asked = true;
                d->selectFile(path);
                static_cast<QDialog *>(d)->accept();
            }
    });
    trigger("salvaPdf");
    EXPECT_TRUE(asked);
    const QStringList pages = pdfPages(path);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages[0].contains(QLatin1String("Bianchi Mario")));
}

} // namespace
