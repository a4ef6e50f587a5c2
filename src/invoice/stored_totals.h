#pragma once
// Whether the totals stored in an invoice's header are those its stored lines and header
// inputs give: the check a file is written under, so that no file carries totals that
// another desk, a tool or a failed run left behind.
#include <QString>
#include <QStringList>
#include <QVariant>

class DbConnection;

namespace StoredTotals {

// The header columns compared: every column the totals computation stores
// (InvoiceTotals::storedColumns(): the four VAT buckets' rate, taxable and tax, the
// free-goods value of buckets 1 to 3, the header discount amount `sc_importo` and the
// document total `tot_doc`). Texts are compared exactly, as a recompute would store them.
const QStringList &comparedColumns();

// The columns of invoice `idInvio` whose stored text differs from what InvoiceTotals
// computes now from the stored lines and header inputs (empty: the totals match). Reads
// inside the caller's transaction, with the header row locked (FOR UPDATE) and the lines
// share-locked until it ends. Raises AppError(InvoiceLock::deletedMessage()) when the
// invoice is gone and, like the computation, ConversionError for a line that does not
// read as numbers. A free-goods column the computation leaves alone (its bucket has
// neither goods nor taxable lines) is not compared.
QStringList mismatchedColumns(DbConnection &connection, const QVariant &idInvio);

// "I totali memorizzati della fattura non corrispondono alle sue righe ..." followed by
// the columns that differ.
QString mismatchMessage(const QStringList &columns);

// Raises AppError(mismatchMessage(...)) when mismatchedColumns() is not empty.
void requireMatch(DbConnection &connection, const QVariant &idInvio);

} // namespace StoredTotals
