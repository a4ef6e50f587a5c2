#include "receiving/sdi_message_store.h"

#include "data/app_error.h"
#include "data/db_connection.h"
#include "data/db_transaction.h"

namespace {

constexpr unsigned DuplicateKey = 1062;  // ER_DUP_ENTRY
// Descriptions and notes kept (a note may be as long as the message itself).
constexpr int MaxDescription = 4000;

QString rowText(const DbRow &row, int column) { return QString::fromUtf8(row.raw(column).toByteArray()); }

bool alreadyStored(DbConnection &conn, const Sdi::Message &m)
{
    return !conn.select(QStringLiteral("SELECT id FROM notifiche_sdi WHERE id_sdi = ? AND tipo = ? AND message_id = ?"),
                        {m.idSdi, m.type, m.messageId})
                .rows.empty();
}

// The invoice that carries the file now, else the one an earlier message of the file was
// stored against (the invoice was given a new name after a rejection). 0: none; -1: the
// name is carried by more than one invoice.
int matchInvoice(DbConnection &conn, const QString &invoiceFile)
{
    const DbResult current = conn.select(QStringLiteral("SELECT id_invio FROM testata WHERE nome_file = ? LIMIT 2"), {invoiceFile});
    if (current.rows.size() > 1)
        return -1;
    if (current.rows.size() == 1)
        return rowText(current.rows.front(), 0).toInt();
    const DbResult earlier = conn.select(
        QStringLiteral("SELECT DISTINCT id_invio FROM notifiche_sdi WHERE nome_file = ? OR nome_file = ? LIMIT 2"),
        {invoiceFile, invoiceFile + QStringLiteral(".p7m")});
    if (earlier.rows.size() > 1)
        return -1;
    return earlier.rows.empty() ? 0 : rowText(earlier.rows.front(), 0).toInt();
}

} // namespace

StoreOutcome storeSdiMessage(DbConnection &conn, const Sdi::Message &m, const QString &messageFile)
{
    StoreOutcome out;
    const QString invoiceFile = Sdi::invoiceFileName(m.nomeFile);
    const int idInvio = matchInvoice(conn, invoiceFile);
    if (idInvio == -1)
        throw AppError(QStringLiteral("il file %1 è di più di una fattura: messaggio non attribuibile").arg(invoiceFile));
    if (alreadyStored(conn, m)) {
        out.result = StoreResult::AlreadyStored;
        out.idInvio = idInvio;
        return out;
    }
    if (idInvio == 0) {
        out.result = StoreResult::UnknownInvoice;
        return out;
    }
    out.idInvio = idInvio;

    DbTransaction tx(conn);
    // The invoice row stays locked from the reading of its file name to the taking back of
    // its flag: a sending or a writer run on another desk waits, then sees the outcome.
    const DbResult invoice = conn.select(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = ? FOR UPDATE"), {idInvio});
    try {
        conn.exec(QStringLiteral("INSERT INTO notifiche_sdi (id_invio, nome_file, tipo, id_sdi, message_id, data_ora, esito, "
                                 "errori, descrizione, file_messaggio) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                  {idInvio, m.nomeFile, m.type, m.idSdi, m.messageId,
                   m.dateTime.isEmpty() ? QVariant() : QVariant(m.dateTime.left(35)),
                   m.outcome.isEmpty() ? QVariant() : QVariant(m.outcome),
                   m.errors.isEmpty() ? QVariant() : QVariant(Sdi::errorsText(m.errors)),
                   m.description.isEmpty() ? QVariant() : QVariant(m.description.left(MaxDescription)), messageFile.left(100)});
    } catch (const DbError &e) {
        if (e.code() != DuplicateKey)
            throw;
        // Stored by another reading a moment ago.
        out.result = StoreResult::AlreadyStored;
        return out;
    }
    const bool rejectsCurrentFile = m.type == QLatin1String("NS") && !invoice.rows.empty()
                                    && !invoice.rows.front().isNull(0) && rowText(invoice.rows.front(), 0) == invoiceFile;
    if (rejectsCurrentFile)
        out.reopened = conn.exec(QStringLiteral("UPDATE testata SET inviata = 0 WHERE id_invio = ? AND inviata <> 0"), {idInvio}) > 0;
    tx.commit();
    return out;
}
