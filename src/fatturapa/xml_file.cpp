#include "fatturapa/xml_file.h"

#include "data/app_error.h"
#include "fatturapa/codifica_xml.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

XmlFile::XmlFile(const QString &path) : m_path(path), m_file(path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        throw AppError(QStringLiteral("Invalid filename"));
    if (!m_file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("File access denied"));
}

QByteArray XmlFile::encodedLine(const QString &line) { return xmlCharactersOnly(line).toUtf8() + "\r\n"; }

void XmlFile::write(const QString &line) { writeEncoded(encodedLine(line)); }

void XmlFile::writeEncoded(const QByteArray &bytes)
{
    errno = 0;
    if (m_file.write(bytes) != bytes.size())
        failWriting(errno);
}

void XmlFile::commit()
{
    // QSaveFile::commit() can report success although the last write-out of its buffer
    // failed (a full disk with a file smaller than the buffer): the buffer is written out
    // and checked here first, so that commit() only has to put the file in place.
    errno = 0;
    if (!m_file.flush() || m_file.error() != QFileDevice::NoError)
        failWriting(errno);
    if (!m_file.commit())
        failWriting(errno);
}

void XmlFile::failWriting(int systemError)
{
    // The temporary file is removed when m_file goes, on the way out of the writer.
    // Qt does not always keep the system's reason (a short write gives "Unknown error").
    QString cause = m_file.errorString();
    if (systemError != 0 && (cause.isEmpty() || cause == QLatin1String("Unknown error")))
        cause = QString::fromLocal8Bit(std::strerror(systemError));
    throw AppError(QStringLiteral("Scrittura del file %1 non riuscita: %2").arg(QDir::toNativeSeparators(m_path), cause));
}
