#pragma once
// The lock that orders the desks working on one invoice: its header row, locked on the
// server until the caller's transaction ends. Whoever recomputes the totals or numbers a
// new line takes it first, so that two desks never compute from each other's half-stored
// lines nor give two lines one number.
#include <QString>
#include <QVariant>

class DbConnection;

namespace InvoiceLock {

// "La fattura è stata eliminata su un'altra postazione"
QString deletedMessage();

// Locks the header of invoice `idInvio` (the caller is inside a transaction); raises
// AppError(deletedMessage()) when the invoice is no longer stored.
void lock(DbConnection &connection, const QVariant &idInvio);

// The number a new line of the invoice takes, read under the lock: the `prog` of the last
// stored line (in the order the lines are delivered) plus 1, or 1 when there is no line
// or its `prog` has no value.
int nextLineNumber(DbConnection &connection, const QVariant &idInvio);

} // namespace InvoiceLock
