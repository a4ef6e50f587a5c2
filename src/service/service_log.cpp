#include "service/service_log.h"

#include <QByteArray>
#include <QDateTime>

#include <cstdio>

void writeLogLine(const QString &text)
{
    QString line = QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + text;
    for (QChar &c : line)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}
