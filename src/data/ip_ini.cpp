#include "data/ip_ini.h"

#include "data/app_error.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// The file is single-byte text in the Western European code page; UTF-8 is taken as such.
QString decode(const QByteArray &bytes)
{
    QString utf8 = QString::fromUtf8(bytes);
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return QString::fromLatin1(bytes);
}

// The first `count` lines; a line ends at CR LF (a lone LF or CR ends it too).
QStringList firstLines(const QString &text, int count)
{
    QStringList lines;
    QString line;
    bool open = false;
    for (qsizetype i = 0; i < text.size() && lines.size() < count; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            lines << line;
            line.clear();
            open = false;
        } else {
            line += c;
            open = true;
        }
    }
    if (open && lines.size() < count)
        lines << line;
    while (lines.size() < count)
        lines << QString();
    return lines;
}

} // namespace

std::optional<IpIni> readIpIni(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("I/O error: %1").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError(QStringLiteral("I/O error: %1").arg(file.errorString()));
    const QStringList lines = firstLines(decode(bytes), 3);
    return IpIni{lines[0], lines[1], lines[2]};
}
