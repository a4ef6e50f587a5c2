#pragma once
// The name a print layout gives a data field: "<table>.<column>", both taken from the
// catalogue (col::testata::table_name, col::testata::num_doc).
#include "data/columns.h"

#include <QString>

namespace Report {

inline QString dataField(const char *table, const char *column)
{
    return QLatin1String(table) + QLatin1Char('.') + QLatin1String(column);
}

} // namespace Report
