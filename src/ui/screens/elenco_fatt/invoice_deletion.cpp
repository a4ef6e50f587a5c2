#include "ui/screens/elenco_fatt/invoice_deletion.h"

#include "data/columns.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "invoice/invoice_lock.h"
#include "data/messages.h"
#include "invoice/sent_invoice.h"

bool deleteCurrentInvoice(TDiz &diz, Messages &messages, DeleteQuestion question)
{
    DbTable &testata = diz.Testata;
    if (isInvoiceSent(testata)) {
        messages.inform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
        return false;
    }
    if (question == DeleteQuestion::Ask && !messages.confirm(QStringLiteral("Confermi Eliminazione Fattura: ?")))
        return false;

    if (testata.state() == DbTable::State::Insert) {
        // A header not stored yet has no lines on the server: dropping it is all there is.
        testata.cancel();
        return true;
    }
    const int idInvio = testata.asInteger(col::testata::id_invio);
    // Unsaved changes of the invoice's own lines and linked documents go with it; posting
    // them while the invoice is being deleted would write rows of a vanishing invoice.
    for (DbTable *detail : {&diz.Detta, &diz.ContrattoD, &diz.ContrattoT})
        detail->cancel();

    // On a rollback both are re-read (the transaction re-reads the lines after their header).
    // Removing the header moves the lines to the next invoice: they need no re-read of
    // their own.
    DbTransaction tx(diz.xml_conn, {&diz.Detta, &testata});
    // The header first, as every desk that changes the invoice's lines locks it: no desk
    // recomputes the invoice while its lines go. A header changed meanwhile (sent, say)
    // is refused by its delete, and nothing of the invoice goes.
    InvoiceLock::lock(diz.xml_conn, idInvio);
    diz.Query.setSql(QStringLiteral("delete from dettaglio where id_invio=") + QString::number(idInvio));
    diz.Query.execSql();
    testata.remove();
    tx.commit();
    return true;
}
