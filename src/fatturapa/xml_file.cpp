#include "xml_file.h"

#include "app_error.h"

#include <QDir>
#include <QFileInfo>

XmlFile::XmlFile(const QString &path) : m_file(path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        throw AppError(QStringLiteral("Invalid filename"));
    if (!m_file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("File access denied"));
}

void XmlFile::write(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (m_file.write(bytes) != bytes.size())
        fail();
}

void XmlFile::commit()
{
    if (!m_file.commit())
        fail();
}

void XmlFile::fail()
{
    throw AppError(m_file.error() == QFileDevice::ResourceError ? QStringLiteral("Disk full")
                                                                : QStringLiteral("File access denied"));
}
