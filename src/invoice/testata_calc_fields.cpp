#include "invoice/testata_calc_fields.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_table.h"

namespace {

constexpr long long LastPlainKey = 9999;
// Where the progressive starts in "IT" + 11-digit VAT number + "_" + progressive + ".xml".
constexpr int ProgressiveStart = 14;
constexpr int ProgressiveLength = 5;

} // namespace

void TestataCalcFields(DbRecord &record)
{
    try {
        bool posted = false;
        const long long key = record.value(col::testata::id_invio).toLongLong(&posted);
        if (!posted)
            return;
        const QString prot = key <= LastPlainKey
            ? QString::number(key)
            : record.text(col::testata::nome_file).mid(ProgressiveStart, ProgressiveLength);
        record.setCalculated(QStringLiteral("prot"), prot);
    } catch (const AppError &) {
        // A row whose protocol cannot be worked out shows none.
    }
}
