#include "print/document_file_name.h"

#include "data/text_forms.h"

#include <QDir>
#include <QStandardPaths>

namespace Report {

namespace {

// Letters, digits, '-' and '.' stay; every run of anything else becomes one "_".
QString filePart(const QString &text)
{
    QString out;
    bool gap = false;
    for (const QChar c : text.trimmed()) {
        if (c.isLetterOrNumber() || c == u'-' || c == u'.') {
            if (gap && !out.isEmpty())
                out += u'_';
            out += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    // A name never starts with a dot (a hidden file) or ends with one.
    while (out.startsWith(u'.'))
        out.remove(0, 1);
    while (out.endsWith(u'.'))
        out.chop(1);
    return out;
}

} // namespace

QString invoiceDocumentName(const QString &number, const QString &year)
{
    QString name = QStringLiteral("Fattura");
    for (const QString &part : {filePart(number), filePart(year)})
        if (!part.isEmpty())
            name += u'_' + part;
    return name;
}

QString yearOfDate(const QString &date)
{
    try {
        return QString::number(TextForms::readDate(date).year());
    } catch (const std::exception &) {
        return QString();
    }
}

QString proposedPdfPath(const QString &documentName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return QDir(folder).filePath(documentName + QStringLiteral(".pdf"));
}

} // namespace Report
