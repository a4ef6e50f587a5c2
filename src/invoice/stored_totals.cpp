#include "invoice/stored_totals.h"

#include "data/app_error.h"
#include "invoice/invoice_totals.h"
#include "invoice/stored_invoice.h"

namespace StoredTotals {

const QStringList &comparedColumns()
{
    static const QStringList columns = InvoiceTotals::storedColumns();
    return columns;
}

QStringList mismatchedColumns(DbConnection &connection, const QVariant &idInvio)
{
    QStringList stored;
    const InvoiceTotals::Inputs inputs = StoredInvoice::lockedInputs(connection, idInvio, comparedColumns(), &stored);
    const std::vector<InvoiceTotals::Line> lines = StoredInvoice::lines(connection, idInvio);
    InvoiceTotals::ColumnTexts reached;
    const InvoiceTotals::Result result = InvoiceTotals::compute(inputs, lines, reached);

    // The computation's columns are those a recompute stores; each is compared with its
    // stored text (a NULL column reads as the empty text).
    QStringList differing;
    for (const auto &[column, computed] : result.columns) {
        const qsizetype i = comparedColumns().indexOf(column);
        if (i < 0 || stored[i] != computed)
            differing << column;
    }
    return differing;
}

QString mismatchMessage(const QStringList &columns)
{
    return QStringLiteral("I totali memorizzati della fattura non corrispondono alle sue righe: ricalcolare i totali "
                          "(ad esempio premendo \"Registra\" sulla fattura) e creare di nuovo il file XML.\n"
                          "Colonne diverse: %1")
        .arg(columns.join(QStringLiteral(", ")));
}

void requireMatch(DbConnection &connection, const QVariant &idInvio)
{
    const QStringList differing = mismatchedColumns(connection, idInvio);
    if (!differing.isEmpty())
        throw AppError(mismatchMessage(differing));
}

} // namespace StoredTotals
