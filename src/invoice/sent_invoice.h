#pragma once
// Whether an invoice has been handed over to the exchange system: its testata.inviata holds
// a value other than 0. NULL and 0 both mean "not sent". The same rule in the three forms an
// invoice's row is held in (a table object, a fetched row, a statement's condition).
#include <QString>
#include <QVariant>

class DbRow;
class DbTable;

// The rule itself, on the value of testata.inviata (a null QVariant for NULL).
bool isSentFlag(const QVariant &inviata);

// The current row of `testata`.
bool isInvoiceSent(const DbTable &testata);
// Row `row` of `testata`; false when the table has no column inviata.
bool isInvoiceSent(const DbTable &testata, int row);
// Cell `column` of a fetched row holding testata.inviata.
bool isInvoiceSent(const DbRow &row, int column);

// The rule as SQL conditions on testata.inviata, for statements that pick invoices by it.
QString sentInvoiceCondition();    // "inviata IS NOT NULL AND inviata <> 0"
QString unsentInvoiceCondition();  // "inviata=0 or inviata is null"
