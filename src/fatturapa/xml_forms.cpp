#include "xml_forms.h"

#include "codifica_xml.h"
#include "text_forms.h"

namespace XmlForms {

namespace {

// The masks write the decimal comma; the files want the point.
QString withPoint(QString masked)
{
    return masked.replace(QLatin1Char(','), QLatin1Char('.'));
}

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

QString amountOf(const Decimal &value)
{
    return withPoint(TextForms::formatMask(value, TextForms::Mask2));
}

QString amount(const QString &stored)
{
    return amountOf(TextForms::readLocale(stored));
}

QString price(const QString &stored)
{
    return withPoint(TextForms::formatMask(TextForms::readLocale(stored), TextForms::Mask4));
}

QString instalmentAmount(const Decimal &value)
{
    return withPoint(TextForms::formatMask(value, TextForms::WideMask2));
}

QString copiedDecimal(const QString &stored)
{
    // The stored text with its decimal comma turned into a point. The schema wants at least
    // two decimals and no grouping, so a number stored with fewer decimals ("10,5") or with
    // thousands separators is written with its own decimals but at least two ("10.50").
    Decimal value;
    if (TextForms::tryReadLocale(stored, &value)) {
        const qsizetype comma = stored.indexOf(QLatin1Char(','));
        int decimals = 0;
        if (comma >= 0)
            while (comma + 1 + decimals < stored.size() && stored[comma + 1 + decimals].isDigit())
                ++decimals;
        return value.toPlain(std::max(2, decimals));
    }
    QString copy = stored;
    return escapeMarkup(copy.replace(QLatin1Char(','), QLatin1Char('.')));
}

QString date(const QString &stored)
{
    return TextForms::formatXmlDate(TextForms::readDate(stored));
}

QString text(const QString &stored)
{
    return escapeMarkup(stored);
}

Decimal valueOf(const QString &amountForm)
{
    QString back = amountForm;
    return TextForms::readLocale(back.replace(QLatin1Char('.'), QLatin1Char(',')));
}

bool isPositive(const QString &amountForm)
{
    return valueOf(amountForm) > Decimal(0);
}

QString trimmed(const QString &stored)
{
    qsizetype begin = 0, end = stored.size();
    while (begin < end && isBlankOrControl(stored[begin]))
        ++begin;
    while (end > begin && isBlankOrControl(stored[end - 1]))
        --end;
    return stored.mid(begin, end - begin);
}

} // namespace XmlForms
