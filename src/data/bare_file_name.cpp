#include "data/bare_file_name.h"

namespace {

constexpr int InvoiceNameWidth = 255;

bool isFolderOrControl(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20 || c.unicode() == 0x7f;
}

bool isInvoiceNameCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' || u == '.';
}

} // namespace

bool isBareFileName(const QString &name, int maxLength)
{
    if (name.isEmpty() || name.size() > maxLength || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name)
        if (isFolderOrControl(c))
            return false;
    return true;
}

bool isBareInvoiceName(const QString &name)
{
    if (!isBareFileName(name, InvoiceNameWidth))
        return false;
    for (const QChar c : name)
        if (!isInvoiceNameCharacter(c))
            return false;
    return true;
}

QString lastNamePart(const QString &name)
{
    return name.mid(qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\'))) + 1);
}
