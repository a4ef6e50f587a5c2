#pragma once
// A rendered invoice written as an A4 PDF file, whole or not at all: the pages go to a
// temporary file beside the target, which replaces the target only once complete. A
// failure leaves an existing file of that name untouched and no temporary file behind.
// Needs a QGuiApplication (fonts).
#include <QByteArray>
#include <QString>

namespace Rendering {

// Writes the page `html` (UTF-8) to `path`. Raises AppError (Italian, naming the file)
// when the file cannot be written.
void writeHtmlPdf(const QByteArray &html, const QString &path, const QString &title);

} // namespace Rendering
