#include "print/report_preview.h"

#include "data/app_error.h"
#include "print/band_renderer.h"
#include "print/document_file_name.h"
#include "print/pdf_output.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>
#include <QVBoxLayout>

namespace Report {

ReportPreview::ReportPreview(const Layout &layout, ReportData &data, QWidget *parent)
    : QDialog(parent), m_layout(layout), m_data(data), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Anteprima di stampa"));
    resize(900, 1000);
    const QString documentName = data.documentName();
    m_printer->setDocName(documentName.isEmpty() ? layout.name : documentName);
    m_printer->setCopyCount(1);
    applyPageSetup(*m_printer, layout);

    m_view = new QPrintPreviewWidget(m_printer.get(), this);
    m_view->setObjectName(QStringLiteral("pagine"));
    connect(m_view, &QPrintPreviewWidget::paintRequested, this, &ReportPreview::paintPages);
    connect(m_view, &QPrintPreviewWidget::previewChanged, this, &ReportPreview::showPosition);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("comandi"));
    const auto add = [&](const char *name, const QString &text, void (ReportPreview::*slot)()) {
        QAction *a = bar->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    add("adattaPagina", QStringLiteral("Pagina intera"), &ReportPreview::fitPage);
    add("dimensioneReale", QStringLiteral("100 %"), &ReportPreview::actualSize);
    add("adattaLarghezza", QStringLiteral("Larghezza pagina"), &ReportPreview::fitWidth);
    bar->addSeparator();
    add("primaPagina", QStringLiteral("|<"), &ReportPreview::firstPage)->setToolTip(QStringLiteral("Prima pagina"));
    add("paginaPrecedente", QStringLiteral("<"), &ReportPreview::previousPage)->setToolTip(QStringLiteral("Pagina precedente"));
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("posizione"));
    bar->addWidget(m_position);
    add("paginaSuccessiva", QStringLiteral(">"), &ReportPreview::nextPage)->setToolTip(QStringLiteral("Pagina successiva"));
    add("ultimaPagina", QStringLiteral(">|"), &ReportPreview::lastPage)->setToolTip(QStringLiteral("Ultima pagina"));
    bar->addSeparator();
    add("impostaStampante", QStringLiteral("Imposta stampante"), &ReportPreview::printerSetup);
    add("stampa", QStringLiteral("Stampa"), &ReportPreview::print);
    add("salvaPdf", QStringLiteral("Salva PDF"), &ReportPreview::saveAsPdf);
    bar->addSeparator();
    QAction *close = bar->addAction(QStringLiteral("Chiudi"), this, &QDialog::accept);
    close->setObjectName(QStringLiteral("chiudi"));

    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(bar);
    box->addWidget(m_view, 1);
    m_view->setZoomMode(QPrintPreviewWidget::FitInView);
}

ReportPreview::~ReportPreview() = default;

void ReportPreview::paintPages(QPrinter *printer)
{
    // The data were checked when they were taken, before the preview was shown; an error
    // that still comes up here cannot pass through the event loop and is shown instead.
    QPainter painter(printer);
    try {
        Report::render(m_layout, m_data, painter, *printer);
    } catch (const AppError &e) {
        QMessageBox::warning(this, QStringLiteral("Errore"), e.text());
    }
}

int ReportPreview::pageCount() const { return m_view->pageCount(); }
int ReportPreview::currentPage() const { return m_view->currentPage(); }

void ReportPreview::showPosition()
{
    m_position->setText(QStringLiteral(" Pagina %1 di %2 ").arg(m_view->currentPage()).arg(m_view->pageCount()));
}

void ReportPreview::fitPage() { m_view->fitInView(); }

void ReportPreview::actualSize()
{
    m_view->setZoomMode(QPrintPreviewWidget::CustomZoom);
    m_view->setZoomFactor(1.0);
}

void ReportPreview::fitWidth() { m_view->fitToWidth(); }

void ReportPreview::firstPage()
{
    m_view->setCurrentPage(1);
    showPosition();
}

void ReportPreview::previousPage()
{
    m_view->setCurrentPage(std::max(1, m_view->currentPage() - 1));
    showPosition();
}

void ReportPreview::nextPage()
{
    m_view->setCurrentPage(std::min(m_view->pageCount(), m_view->currentPage() + 1));
    showPosition();
}

void ReportPreview::lastPage()
{
    m_view->setCurrentPage(m_view->pageCount());
    showPosition();
}

void ReportPreview::printerSetup()
{
    QPageSetupDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The printer and its paper bin are the user's; the paper and margins stay those of
    // the layout, whose positions are fixed on A4.
    applyPageSetup(*m_printer, m_layout);
    m_view->updatePreview();
}

QString ReportPreview::proposedPdf() const { return proposedPdfPath(m_printer->docName()); }

void ReportPreview::print()
{
    QPrintDialog dialog(m_printer.get(), this);
    // Printing to a file proposes the document's own name in the documents folder, as
    // "Salva PDF" does, not a name made up from the print job in the home folder.
    if (m_printer->outputFileName().isEmpty())
        if (auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
            file->setText(proposedPdf());
    if (dialog.exec() != QDialog::Accepted)
        return;
    applyPageSetup(*m_printer, m_layout);
    m_view->print();
}

void ReportPreview::saveAsPdf()
{
    QFileDialog dialog(this, QStringLiteral("Salva PDF"));
    dialog.setObjectName(QStringLiteral("salvaPdfDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QStringLiteral("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const QString proposed = proposedPdf();
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    savePdf(dialog.selectedFiles().constFirst());
}

int ReportPreview::savePdf(const QString &path) { return renderPdf(m_layout, m_data, path); }

void showPreview(const Layout &layout, ReportData &data, QWidget *parent)
{
    ReportPreview preview(layout, data, parent);
    // A page too small for one row is refused here, before the window opens.
    rowsPerPage(layout, printableArea(preview.printer()).height());
    preview.setModal(true);
    preview.exec();
}

} // namespace Report
