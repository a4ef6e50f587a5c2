#include "source_values.h"

#include "app_error.h"
#include "db_table.h"
#include "text_forms.h"

#include <cmath>

double sourceNumber(const DbTable &table, QAnyStringView column)
{
    const QVariant v = table.value(column);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        throw ConversionError(TextForms::notAFloatMessage(table.text(column)));
    return d;
}
