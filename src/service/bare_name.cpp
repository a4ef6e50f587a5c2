#include "bare_name.h"

#include <limits>

namespace {
bool startsOrClimbs(const QString &name)
{
    return name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QStringLiteral(".."));
}
} // namespace

bool isBareInvoiceName(const QString &name)
{
    if (startsOrClimbs(name) || name.size() > 255)
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u == '.';
        if (!ok)
            return false;
    }
    return true;
}

bool readInvoiceNumber(const QString &text, int *number)
{
    if (text.isEmpty() || text.size() > 10)
        return false;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value > std::numeric_limits<int>::max())
        return false;
    *number = int(value);
    return true;
}
