#include "checked_file.h"

#include "signed_content.h"

#include <QFile>
#include <QFileInfo>

CheckedFile checkOneFile(const QString &path, bool received)
{
    CheckedFile result;
    result.path = path;
    CheckOptions options;
    options.received = received;
    options.fileName = QFileInfo(path).fileName();

    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.readable = false;
        const QString reason = QFileInfo::exists(path) && !QFileInfo(path).isFile() ? QStringLiteral("non è un file")
                                                                                    : file.errorString();
        result.problems.push_back({QStringLiteral("file"), options.fileName, QStringLiteral("file non leggibile: %1").arg(reason)});
        return result;
    }
    // Beyond the limit only the size is reported: nothing more is read.
    if (file.size() > MaxInvoiceFileSize) {
        result.problems = checkInvoiceData(file.read(MaxInvoiceFileSize + 1), options);
        return result;
    }
    QByteArray content = file.readAll();
    file.close();
    const bool isSigned = options.fileName.endsWith(QLatin1String(".p7m"), Qt::CaseInsensitive);
    if (isSigned || !Received::looksLikeXml(content)) {
        Received::SignedContent envelope = Received::extractSignedContent(content);
        if (!envelope.ok) {
            result.problems.push_back({QStringLiteral("00102"), options.fileName,
                                       QStringLiteral("firma del file non valida: %1").arg(envelope.error)});
            return result;
        }
        content = std::move(envelope.content);
    }
    result.problems = checkInvoiceData(content, options);
    return result;
}
