#include "invoice/invoice_lock.h"

#include "data/app_error.h"
#include "data/db_connection.h"

namespace InvoiceLock {

QString deletedMessage() { return QStringLiteral("La fattura è stata eliminata su un'altra postazione"); }

void lock(DbConnection &connection, const QVariant &idInvio)
{
    const DbResult r =
        connection.select(QStringLiteral("SELECT id_invio FROM testata WHERE id_invio = ? FOR UPDATE"), {idInvio});
    if (r.rows.empty())
        throw AppError(deletedMessage());
}

int nextLineNumber(DbConnection &connection, const QVariant &idInvio)
{
    // A locking read: the lines as stored now, not as an earlier read of this transaction saw them.
    const DbResult r = connection.select(
        QStringLiteral("SELECT prog FROM dettaglio WHERE id_invio = ? LOCK IN SHARE MODE"), {idInvio});
    if (r.rows.empty() || r.rows.back().isNull(0))
        return 1;
    bool ok = false;
    const int last = QString::fromUtf8(r.rows.back().raw(0)).toInt(&ok);
    return ok ? last + 1 : 1;
}

} // namespace InvoiceLock
