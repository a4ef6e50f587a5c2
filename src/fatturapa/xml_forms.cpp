#include "fatturapa/xml_forms.h"

#include "fatturapa/codifica_xml.h"
#include "data/text_forms.h"

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

QString percentage(const QString &stored)
{
    return TextForms::readLocale(stored).toPlain(2);
}

QString discountAmountOf(const Decimal &value)
{
    QString plain = value.rounded(8).toPlain();
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    if (point < 0)
        return plain + QStringLiteral(".00");
    const qsizetype decimals = plain.size() - point - 1;
    return decimals < 2 ? plain + QString(2 - decimals, QLatin1Char('0')) : plain;
}

bool readsAsNumber(const QString &stored, Decimal *out)
{
    return TextForms::tryReadLocale(stored, out);
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
