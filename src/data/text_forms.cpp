#include "data/text_forms.h"

#include "data/app_error.h"

#include <string>

namespace TextForms {

namespace {

// What a mask asks for: the digits always written before the point, the decimals
// (always written up to the last '0', the further '#' only when not zero) and grouping.
struct MaskLayout {
    int minIntegerDigits = 0;
    int decimals = 0;
    int minDecimals = 0;
    bool hasPoint = false;
    bool grouped = false;
};

MaskLayout layoutOf(const char *mask)
{
    MaskLayout layout;
    for (const char *p = mask; *p != '\0'; ++p) {
        const char c = *p;
        if (c == '.') {
            layout.hasPoint = true;
        } else if (!layout.hasPoint) {
            if (c == '0')
                ++layout.minIntegerDigits;
            else if (c == ',')
                layout.grouped = true;
        } else if (c == '0' || c == '#') {
            ++layout.decimals;
            if (c == '0')
                layout.minDecimals = layout.decimals;
        }
    }
    return layout;
}

// Reads the text with the decimal comma; with `thousandsDots` a '.' is skipped anywhere
// in the integer part. Returns false when the text is not a number or out of range.
bool readNumber(const QString &text, bool thousandsDots, Decimal *out)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;

    // Rewrite as the plain form: sign, digits, '.', digits, exponent.
    std::string plain;
    qsizetype i = begin;
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        plain.push_back(char(text[i++].unicode()));
    bool anyDigit = false;
    bool inFraction = false;
    for (; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= u'0' && c <= u'9') {
            plain.push_back(char(c));
            anyDigit = true;
        } else if (c == u',' && !inFraction) {
            plain.push_back('.');
            inFraction = true;
        } else if (c == u'.' && thousandsDots && !inFraction) {
            // thousands separator: ignored
        } else {
            break;
        }
    }
    if (!anyDigit)
        return false;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        plain.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            plain.push_back(char(text[i++].unicode()));
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i)
            plain.push_back(char(text[i].unicode()));
    }
    if (i != end)
        return false;
    bool ok = false;
    const Decimal value = Decimal::fromPlain(plain, &ok);
    if (ok && out)
        *out = value;
    return ok;
}

// Reads one to `maxDigits` ASCII digits at `pos`; -1 when there are none.
int readDigits(const QString &text, qsizetype &pos, qsizetype end, int maxDigits, int *count)
{
    int value = 0;
    *count = 0;
    while (pos < end && *count < maxDigits && text[pos] >= u'0' && text[pos] <= u'9') {
        value = value * 10 + (text[pos].unicode() - u'0');
        ++pos;
        ++*count;
    }
    return *count == 0 ? -1 : value;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

QString formatMask(const Decimal &v, const char *mask)
{
    const MaskLayout layout = layoutOf(mask);
    const Decimal value = v.roundedSignificant(18).rounded(layout.decimals);

    // Digits of the rounded magnitude, split at the decimal point.
    const QString plain = value.abs().toPlain(layout.decimals);
    const qsizetype point = plain.indexOf(u'.');
    QString integerPart = point < 0 ? plain : plain.left(point);
    QString fraction = point < 0 ? QString() : plain.mid(point + 1);

    if (integerPart == u"0")
        integerPart.clear(); // written only when the mask asks for it
    if (integerPart.size() < layout.minIntegerDigits)
        integerPart.prepend(QString(layout.minIntegerDigits - integerPart.size(), u'0'));
    if (layout.grouped)
        for (qsizetype at = integerPart.size() - 3; at > 0; at -= 3)
            integerPart.insert(at, u'.');

    while (fraction.size() > layout.minDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);

    QString result = value.isNegative() ? QStringLiteral("-") : QString();
    result += integerPart;
    if (!fraction.isEmpty())
        result += u',' + fraction;
    return result;
}

QString notAFloatMessage(const QString &text)
{
    return QLatin1Char('\'') + text + QStringLiteral("' is not a valid floating point value");
}

QString notADateMessage(const QString &text)
{
    return QLatin1Char('\'') + text + QStringLiteral("' is not a valid date");
}

bool tryReadStrict(const QString &text, Decimal *out)
{
    return readNumber(text, false, out);
}

Decimal readStrict(const QString &text)
{
    Decimal value;
    if (!readNumber(text, false, &value))
        throw ConversionError(notAFloatMessage(text));
    return value;
}

bool tryReadLocale(const QString &text, Decimal *out)
{
    return readNumber(text, true, out);
}

Decimal readLocale(const QString &text)
{
    Decimal value;
    if (!readNumber(text, true, &value))
        throw ConversionError(notAFloatMessage(text));
    return value;
}

QString formatDate(const QDate &d)
{
    if (!d.isValid())
        return {};
    return twoDigits(d.day()) + u'/' + twoDigits(d.month()) + u'/'
        + QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
}

QString formatShortDate(const QDate &d)
{
    if (!d.isValid())
        return {};
    return twoDigits(d.day()) + u'/' + twoDigits(d.month()) + u'/' + twoDigits(d.year() % 100);
}

QString formatXmlDate(const QDate &d)
{
    if (!d.isValid())
        return {};
    return QString::number(d.year()) + u'-' + twoDigits(d.month()) + u'-' + twoDigits(d.day());
}

bool tryReadDate(const QString &text, QDate *out)
{
    qsizetype pos = 0, end = text.size();
    while (pos < end && text[pos] == u' ')
        ++pos;
    while (end > pos && text[end - 1] == u' ')
        --end;

    int count = 0;
    const int day = readDigits(text, pos, end, 2, &count);
    if (day < 0 || pos >= end || text[pos++] != u'/')
        return false;
    const int month = readDigits(text, pos, end, 2, &count);
    if (month < 0 || pos >= end || text[pos++] != u'/')
        return false;
    int year = readDigits(text, pos, end, 4, &count);
    if (year < 0 || pos != end || (count != 2 && count != 4))
        return false;
    if (count == 2)
        year += year < 50 ? 2000 : 1900;

    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    if (out)
        *out = date;
    return true;
}

QDate readDate(const QString &text)
{
    QDate date;
    if (!tryReadDate(text, &date))
        throw ConversionError(notADateMessage(text));
    return date;
}

QString cutToWidth(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    qsizetype units = 0;
    for (int chars = 0; chars < width && units < text.size(); ++chars)
        units += (text[units].isHighSurrogate() && units + 1 < text.size() && text[units + 1].isLowSurrogate()) ? 2 : 1;
    return text.left(units);
}

int characterCount(const QString &text)
{
    int chars = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++chars)
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    return chars;
}

} // namespace TextForms
