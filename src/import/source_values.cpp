#include "import/source_values.h"

#include "data/app_error.h"
#include "data/db_table.h"
#include "data/text_forms.h"

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
