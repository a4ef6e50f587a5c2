#include "fatture_check/checked_file.h"

#include "data/regular_file.h"
#include "receiving/signed_content.h"

#include <QFileInfo>

CheckedFile checkOneFile(const QString &path, bool received)
{
    CheckedFile result;
    result.path = path;
    CheckOptions options;
    options.received = received;
    options.fileName = QFileInfo(path).fileName();

    RegularFile file = readRegularFile(path, MaxInvoiceFileBytes, options.fileName);
    // Beyond the limit only the size is reported: the file is not read.
    if (file.fault == RegularFile::Fault::TooLarge) {
        result.problems = checkInvoiceFile(path, options);
        return result;
    }
    if (!file.ok()) {
        result.readable = false;
        result.problems.push_back({QStringLiteral("file"), options.fileName, file.error});
        return result;
    }
    QByteArray content = std::move(file.bytes);
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
    result.problems = checkInvoiceBytes(content, options.fileName, options);
    return result;
}
