#include "import/import_formats.h"

#include "data/decimal.h"
#include "data/text_forms.h"

#include <charconv>
#include <cmath>

namespace ImportFormats {

QString masked(double value, const char *mask)
{
    return TextForms::formatMask(Decimal::fromDouble(value), mask);
}

QString rateText(float rate)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, rate, std::chars_format::fixed);
    QString text = QString::fromLatin1(buf, res.ptr - buf);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString wholeRateText(double rate)
{
    // Rates far beyond any real one keep their magnitude (and are refused as too long).
    if (!(std::fabs(rate) < 1e18))
        return QString::number(rate, 'g', 17);
    return QString::number(static_cast<long long>(std::nearbyint(rate)));
}

} // namespace ImportFormats
