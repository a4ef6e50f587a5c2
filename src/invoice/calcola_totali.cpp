#include "invoice/calcola_totali.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_own_change.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "invoice/invoice_lock.h"
#include "invoice/invoice_totals.h"
#include "invoice/stored_invoice.h"

#include <QStringList>

namespace {

void store(DbConnection &conn, const QVariant &id, const InvoiceTotals::ColumnTexts &columns)
{
    QStringList sets;
    QVariantList values;
    for (const auto &[column, text] : columns) {
        sets << DbConnection::quoteName(column) + QStringLiteral(" = ?");
        values << text;
    }
    values << id;
    conn.exec(QStringLiteral("UPDATE testata SET %1 WHERE id_invio = ?").arg(sets.join(u',')), values);
}

// True when `held` holds exactly the stored lines' columns the totals read.
bool holdsTheseLines(const DbTable &held, const std::vector<InvoiceTotals::Line> &stored)
{
    if (!held.isOpen() || held.rowCount() != int(stored.size()))
        return false;
    const int quantita = held.fieldIndex(col::dettaglio::quantita), aliquota = held.fieldIndex(col::dettaglio::aliquota),
              cessione = held.fieldIndex(col::dettaglio::tipo_cessione),
              totale = held.fieldIndex(col::dettaglio::prezzo_tot);
    for (int i = 0; i < held.rowCount(); ++i) {
        const InvoiceTotals::Line &line = stored[size_t(i)];
        if (held.textAt(i, quantita) != line.quantita || held.textAt(i, aliquota) != line.aliquota
            || held.textAt(i, cessione) != line.tipoCessione || held.textAt(i, totale) != line.prezzoTot)
            return false;
    }
    return true;
}

// The desk shows what is stored now: the header row, and the invoice's lines when they
// are not those the totals were computed from (another desk changed them).
void showStored(TDiz &diz, const std::vector<InvoiceTotals::Line> &lines)
{
    diz.Testata.rereadCurrent();
    if (!holdsTheseLines(diz.Detta, lines))
        diz.Detta.refresh();
}

QString ratesWithoutBucketMessage(const QStringList &rates)
{
    QStringList shown;
    for (const QString &rate : rates)
        shown << (rate.isEmpty() ? QStringLiteral("\"\"") : rate);
    return QStringLiteral("Aliquota IVA non riepilogata: %1").arg(shown.join(QStringLiteral(", ")));
}

} // namespace

void CalcolaTotali(TDiz &diz)
{
    DbTable &head = diz.Testata;
    if (head.state() == DbTable::State::Insert)
        head.post();  // a new invoice gets its key first
    if (!head.isOpen() || head.currentIndex() < 0)
        throw DbError(QStringLiteral("%1: Cannot perform this operation on an empty dataset").arg(head.objectName()));
    const QVariant id = head.value(col::testata::id_invio);
    DbConnection &conn = diz.xml_conn;

    DbTransaction transaction(conn, {&diz.Detta, &head});
    if (head.isEditing()) {
        // The user's header changes are stored under the lock, and refused when another
        // desk has changed the same columns meanwhile.
        InvoiceLock::lock(conn, id);
        head.post();
    }
    const InvoiceTotals::Inputs inputs = StoredInvoice::lockedInputs(conn, id);
    const std::vector<InvoiceTotals::Line> lines = StoredInvoice::lines(conn, id);

    InvoiceTotals::ColumnTexts reached;
    InvoiceTotals::Result result;
    try {
        result = InvoiceTotals::compute(inputs, lines, reached);
    } catch (...) {
        // A run stopped by a line keeps the emptied summary and the rates assigned so far.
        store(conn, id, reached);
        transaction.commit();
        try {
            showStored(diz, lines);
        } catch (...) {
            // The line's error is the one the user must read.
        }
        throw;
    }
    store(conn, id, result.columns);
    transaction.commit();
    showStored(diz, lines);

    if (!result.ratesWithoutBucket.isEmpty())
        throw AppError(ratesWithoutBucketMessage(result.ratesWithoutBucket));
}

void CalcolaTotaliNewInvoice(TDiz &diz)
{
    DbTable &head = diz.Testata;
    DbConnection &conn = diz.xml_conn;
    if (!conn.inTransaction() || head.state() != DbTable::State::Browse || head.currentIndex() < 0) {
        CalcolaTotali(diz);
        return;
    }
    const StoredInvoice::InputsAndLines stored =
        StoredInvoice::lockedInputsAndLines(conn, head.value(col::testata::id_invio));
    InvoiceTotals::ColumnTexts reached;
    const InvoiceTotals::Result result = InvoiceTotals::compute(stored.inputs, stored.lines, reached);

    // One UPDATE of the header row; the row then holds what it stored, as after any post.
    DbOwnChange change(head);
    head.edit();
    for (const auto &[column, text] : result.columns)
        head.setText(column, text);
    change.post();
    if (!holdsTheseLines(diz.Detta, stored.lines))
        diz.Detta.refresh();

    if (!result.ratesWithoutBucket.isEmpty())
        throw AppError(ratesWithoutBucketMessage(result.ratesWithoutBucket));
}
