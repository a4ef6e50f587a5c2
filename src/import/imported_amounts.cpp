#include "import/imported_amounts.h"

#include "data/app_error.h"
#include "data/db_table.h"
#include "import/import_formats.h"

#include <cmath>

namespace ImportedAmounts {

namespace {

// Beyond this no mask gives a text of a column's width (the widest holds 12 characters).
constexpr double FormattableLimit = 1e18;

[[noreturn]] void refuse(const QString &column, const QString &text)
{
    throw AppError(QStringLiteral("Importo troppo grande per %1: %2").arg(column, text));
}

int widthOf(const DbTable &table, const QString &column)
{
    return table.field(column).width;  // 0: not known, nothing to check
}

void checkFormattable(const QString &column, double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= FormattableLimit)
        refuse(column, QString::number(value, 'g', 17).replace(QLatin1Char('.'), QLatin1Char(',')));
}

// The text cut to the column's width where only decimals go; refused where integer
// digits would go.
QString cutToWidth(const DbTable &table, const QString &column, QString text)
{
    const int width = widthOf(table, column);
    if (width <= 0 || text.size() <= width)
        return text;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0 || comma > width)
        refuse(column, text);
    text.truncate(width);
    if (text.endsWith(QLatin1Char(',')))
        text.chop(1);
    return text;
}

} // namespace

void put(DbTable &table, const QString &column, double value, const char *mask)
{
    checkFormattable(column, value);
    putText(table, column, ImportFormats::masked(value, mask));
}

void putText(DbTable &table, const QString &column, const QString &text)
{
    const int width = widthOf(table, column);
    if (width > 0 && text.size() > width)
        refuse(column, text);
    table.setText(column, text);
}

Decimal exact(const QString &column, double value)
{
    checkFormattable(column, value);
    return Decimal::fromDouble(value);
}

void putRate(DbTable &table, const QString &column, const QString &text)
{
    table.setText(column, cutToWidth(table, column, text));
}

} // namespace ImportedAmounts
