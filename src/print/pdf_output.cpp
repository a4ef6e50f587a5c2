#include "print/pdf_output.h"

#include "data/app_error.h"
#include "print/band_renderer.h"
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "print/purchase_layout.h"
#include "print/purchase_report.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace Report {

int renderPdf(const Layout &layout, ReportData &data, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString()));
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Gestione Fatturazione Elettronica"));
        writer.setTitle(layout.name);
        applyPageSetup(writer, layout);
        QPainter painter;
        if (!painter.begin(&writer))
            throw AppError(QStringLiteral("Impossibile scrivere il file %1").arg(path));
        try {
            pages = render(layout, data, painter, writer);
        } catch (...) {
            painter.end();
            file.cancelWriting();
            throw;
        }
        painter.end();
    }
    if (!file.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString()));
    return pages;
}

int printInvoicePdf(const TDiz &diz, const QString &path)
{
    InvoiceReport data(diz);
    return renderPdf(invoiceLayout(), data, path);
}

int printPurchasePdf(const TDiz &diz, const QString &path)
{
    PurchaseReport data(diz);
    return renderPdf(purchaseLayout(), data, path);
}

} // namespace Report
