#include "invoice/sent_invoice.h"

#include "data/columns.h"
#include "data/db_row.h"
#include "data/db_table.h"

namespace {
const QString SentColumn = QString::fromLatin1(col::testata::inviata);
}

bool isSentFlag(const QVariant &inviata) { return !inviata.isNull() && inviata.toInt() != 0; }

bool isInvoiceSent(const DbTable &testata) { return isSentFlag(testata.value(SentColumn)); }

bool isInvoiceSent(const DbTable &testata, int row)
{
    const int column = testata.fieldIndex(SentColumn);
    return column >= 0 && isSentFlag(testata.valueAt(row, column));
}

bool isInvoiceSent(const DbRow &row, int column)
{
    return isSentFlag(row.isNull(column) ? QVariant() : QVariant(QString::fromUtf8(row.raw(column))));
}

QString sentInvoiceCondition() { return QStringLiteral("inviata IS NOT NULL AND inviata <> 0"); }

QString unsentInvoiceCondition() { return QStringLiteral("inviata=0 or inviata is null"); }
