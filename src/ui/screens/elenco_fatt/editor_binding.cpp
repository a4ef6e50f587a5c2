#include "ui/screens/elenco_fatt/editor_binding.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_table.h"
#include "invoice/invoice_lock.h"

namespace {
QVariant currentInvoice(const DbTable &testata)
{
    if (!testata.isOpen() || testata.currentIndex() < 0)
        return QVariant();
    return testata.value(col::testata::id_invio);
}
} // namespace

QString EditorBinding::invoiceLeftMessage()
{
    return QStringLiteral("La fattura su cui era aperto l'editor è stata eliminata o cambiata su un'altra postazione: "
                          "nulla è stato registrato.");
}

void EditorBinding::bind(const DbTable &testata) { m_invoice = currentInvoice(testata); }

void EditorBinding::checkStillCurrent(const DbTable &testata) const
{
    if (m_invoice.isNull())
        return;  // opened on a new header not stored yet: it gets its key when stored
    const QVariant now = currentInvoice(testata);
    if (now.isNull() || now.toString() != m_invoice.toString())
        throw AppError(invoiceLeftMessage());
}

bool EditorBinding::isRefusalOfAnotherDesk(const AppError &error)
{
    const QString &text = error.text();
    return text == invoiceLeftMessage() || text == InvoiceLock::deletedMessage() || text == DbTable::staleRowMessage()
        || text == DbTable::rowNotFoundMessage();
}
