#pragma once
// Readable Qt values in GoogleTest failure messages (the one copy for every test program).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &l, std::ostream *os)
{
    *os << "\n" << l.join(QLatin1Char('\n')).toStdString() << "\n";
}
inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << '"' << b.toStdString() << '"';
}
