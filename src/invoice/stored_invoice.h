#pragma once
// What the totals of an invoice are computed from, read from the server as stored now
// (locking reads inside the caller's transaction), whatever a desk holds.
#include "invoice/invoice_totals.h"

#include <QVariant>
#include <vector>

class DbConnection;

namespace StoredInvoice {

// The header inputs of the totals, with the header row locked (FOR UPDATE) until the
// transaction ends; raises AppError(InvoiceLock::deletedMessage()) when the invoice is gone.
// `summaryColumns`, when given, also receives the stored texts of these columns.
InvoiceTotals::Inputs lockedInputs(DbConnection &connection, const QVariant &idInvio,
                                   const QStringList &summaryColumns = {}, QStringList *summaryTexts = nullptr);

// The invoice's lines, in the order the line table delivers them.
std::vector<InvoiceTotals::Line> lines(DbConnection &connection, const QVariant &idInvio);

// Both at once, in one locking read of the header and its lines (the lines in the order
// lines() gives them).
struct InputsAndLines {
    InvoiceTotals::Inputs inputs;
    std::vector<InvoiceTotals::Line> lines;
};
InputsAndLines lockedInputsAndLines(DbConnection &connection, const QVariant &idInvio);

} // namespace StoredInvoice
