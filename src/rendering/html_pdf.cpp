#include "rendering/html_pdf.h"

#include "rendering/closed_html_document.h"
#include "data/app_error.h"

#include <QDir>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace Rendering {

void writeHtmlPdf(const QByteArray &html, const QString &path, const QString &title)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("Impossibile scrivere il file %1: %2").arg(shown, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Gestione Fatturazione Elettronica"));
        writer.setTitle(title);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                                         QPageLayout::Millimeter));
        const ClosedHtmlDocument document(html);
        document.print(&writer);
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        throw AppError(QStringLiteral("Impossibile scrivere il file %1: %2").arg(shown, file.errorString()));
}

} // namespace Rendering
