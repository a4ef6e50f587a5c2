#include "invoice/stored_invoice.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "data/db_connection.h"
#include "invoice/invoice_lock.h"

namespace StoredInvoice {
namespace {
QString textAt(const DbRow &row, int i) { return row.isNull(i) ? QString() : QString::fromUtf8(row.raw(i)); }

// sc_tipo, sc_perc, spese, spese2 from the row's cells `first` on.
InvoiceTotals::Inputs inputsAt(const DbRow &row, int first)
{
    return {textAt(row, first), textAt(row, first + 1), textAt(row, first + 2), textAt(row, first + 3)};
}

// quantita, aliquota, tipo_cessione, prezzo_tot from the row's cells `first` on.
InvoiceTotals::Line lineAt(const DbRow &row, int first)
{
    return {textAt(row, first), textAt(row, first + 1), textAt(row, first + 2), textAt(row, first + 3)};
}
} // namespace

InvoiceTotals::Inputs lockedInputs(DbConnection &connection, const QVariant &idInvio, const QStringList &summaryColumns,
                                   QStringList *summaryTexts)
{
    QStringList columns{col::testata::sc_tipo, col::testata::sc_perc, col::testata::spese,
                        col::testata::spese2};
    for (const QString &c : summaryColumns)
        columns << DbConnection::quoteName(c);
    const DbResult r = connection.select(
        QStringLiteral("SELECT %1 FROM testata WHERE id_invio = ? FOR UPDATE").arg(columns.join(u',')), {idInvio});
    if (r.rows.empty())
        throw AppError(InvoiceLock::deletedMessage());
    const DbRow &row = r.rows.front();
    if (summaryTexts) {
        summaryTexts->clear();
        for (int i = 0; i < summaryColumns.size(); ++i)
            *summaryTexts << textAt(row, 4 + i);
    }
    return inputsAt(row, 0);
}

std::vector<InvoiceTotals::Line> lines(DbConnection &connection, const QVariant &idInvio)
{
    const DbResult r = connection.select(QStringLiteral("SELECT quantita, aliquota, tipo_cessione, prezzo_tot FROM dettaglio "
                                                        "WHERE id_invio = ? LOCK IN SHARE MODE"),
                                         {idInvio});
    std::vector<InvoiceTotals::Line> out;
    out.reserve(r.rows.size());
    for (const DbRow &row : r.rows)
        out.push_back(lineAt(row, 0));
    return out;
}

InputsAndLines lockedInputsAndLines(DbConnection &connection, const QVariant &idInvio)
{
    // The lines are reached through their index on id_invio, as lines() reaches them, so
    // they come in the same order.
    const DbResult r = connection.select(
        QStringLiteral("SELECT t.sc_tipo, t.sc_perc, t.spese, t.spese2, d.id_invio, d.quantita, d.aliquota, "
                       "d.tipo_cessione, d.prezzo_tot FROM testata t LEFT JOIN dettaglio d ON d.id_invio = t.id_invio "
                       "WHERE t.id_invio = ? FOR UPDATE"),
        {idInvio});
    if (r.rows.empty())
        throw AppError(InvoiceLock::deletedMessage());
    InputsAndLines out;
    out.inputs = inputsAt(r.rows.front(), 0);
    out.lines.reserve(r.rows.size());
    for (const DbRow &row : r.rows)
        if (!row.isNull(4))  // a header without lines gives one row with no line
            out.lines.push_back(lineAt(row, 5));
    return out;
}

} // namespace StoredInvoice
