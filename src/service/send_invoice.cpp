#include "service/send_invoice.h"

#include "data/app_error.h"
#include "data/bare_file_name.h"
#include "service/channel.h"
#include "data/db_connection.h"
#include "data/db_transaction.h"
#include "checks/doctype_free_xml.h"
#include "service/handover_journal.h"
#include "service/handover_reconcile.h"
#include "service/invoice_signing.h"
#include "checks/presend_check.h"
#include "data/regular_file.h"
#include "service/request_query.h"
#include "receiving/sdi_answers.h"
#include "invoice/sent_invoice.h"

#include <QFileInfo>

namespace {

// The steps of a sending, in order. Each returns the refusal that ends the request, or
// nothing to go on. They run inside one transaction that holds the invoice's row.

using Refusal = std::optional<ServiceAnswer>;

// What goes out: the invoice and the bytes read, checked and then handed over.
struct Outgoing {
    int number = 0;
    QString name;
    QByteArray bytes;
    QStringList warnings;  // the check's formal warnings, shown on the answer whatever it is
};

ServiceAnswer refused(int status, const QString &message, const QStringList &items = {})
{
    return {status, QStringLiteral("Fattura non inviata"), message, items};
}

Refusal readRequest(const SendRequest &request, Outgoing &out)
{
    if (!request.nomeFile || !request.nInvio)
        return refused(400, QStringLiteral("Richiesta incompleta: servono nome_file e n_invio."));
    out.name = *request.nomeFile;
    if (!isBareInvoiceName(out.name))
        return refused(400, QStringLiteral("Nome file non ammesso: \"%1\". Serve il solo nome del file (lettere, cifre, _ e .), "
                                           "senza cartelle e senza \"..\".")
                                .arg(out.name));
    if (!readInvoiceNumber(*request.nInvio, &out.number))
        return refused(400, QStringLiteral("Numero fattura non valido: \"%1\". n_invio deve essere un numero.").arg(*request.nInvio));
    return std::nullopt;
}

// Locks the invoice's row until the end of the transaction: its name, its flag and the
// uniqueness of its name are judged on what the server holds under the lock.
Refusal lockInvoice(DbConnection &conn, const Outgoing &out)
{
    const DbResult found = conn.select(QStringLiteral("SELECT nome_file, inviata FROM testata WHERE id_invio = ? FOR UPDATE"), {out.number});
    if (found.rows.empty())
        return refused(404, QStringLiteral("Nessuna fattura con numero %1.").arg(out.number));
    if (found.rows.front().raw(0) != QByteArrayView(out.name.toUtf8()))
        return refused(404, QStringLiteral("La fattura numero %1 non ha il file %2.").arg(out.number).arg(out.name));
    if (isInvoiceSent(found.rows.front(), 1))
        return refused(409, QStringLiteral("Fattura già inviata: numero %1, file %2.").arg(out.number).arg(out.name));
    // Two invoices with one name (the progressive wrapped round) would hand over one file
    // for both, the second replacing the first while it waits to be uploaded.
    const DbResult others = conn.select(
        QStringLiteral("SELECT id_invio FROM testata WHERE nome_file = ? AND id_invio <> ? ORDER BY id_invio LIMIT 5"), {out.name, out.number});
    if (!others.rows.empty()) {
        QStringList numbers;
        for (const DbRow &row : others.rows)
            numbers << QString::fromUtf8(row.raw(0).toByteArray());
        return refused(409, QStringLiteral("Il nome file %1 è registrato anche per la fattura numero %2: ricreare il file XML "
                                           "di una delle fatture, così che ognuna abbia un nome suo, prima di inviarla.")
                                .arg(out.name, numbers.join(QStringLiteral(", "))));
    }
    return std::nullopt;
}

// A name the exchange system rejected: sent again, it would be refused as a name it has seen
// (00002); the invoice's file is to be written again, under a new name.
Refusal refuseRejectedName(DbConnection &conn, const Outgoing &out)
{
    if (!Sdi::wasRejected(conn, out.name))
        return std::nullopt;
    return refused(409, QStringLiteral("Il file %1 è stato scartato da SDI, che rifiuta un nome già ricevuto: rigenerare il file "
                                       "della fattura numero %2 con \"Creazione File XML\" (avrà un nome nuovo) e inviarlo.")
                            .arg(out.name)
                            .arg(out.number));
}

// A hand-over of this invoice cut short earlier: when its file went out, the invoice is
// marked as sent now and this request refused; otherwise the record is dropped.
Refusal settleEarlierHandover(DbConnection &conn, DbTransaction &transaction, Channel &channel, HandoverJournal &journal,
                              const Outgoing &out)
{
    const std::optional<HandoverRecord> earlier = journal.record(out.number);
    if (!earlier)
        return std::nullopt;
    if (!handoverWentOut(channel, *earlier)) {
        journal.finish(out.number);
        return std::nullopt;
    }
    conn.exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = ?"), {out.number});
    transaction.commit();
    journal.finish(out.number);
    return refused(409, QStringLiteral("Fattura già inviata: il file %1 della fattura numero %2 era già stato consegnato %3 "
                                       "da un invio interrotto; ora la fattura è segnata come inviata.")
                            .arg(out.name)
                            .arg(out.number)
                            .arg(channel.destination()));
}

// Reads the file once: these bytes are checked and handed over.
Refusal readInvoiceFile(DbConnection &conn, Outgoing &out)
{
    const QString path = companyFilePath(conn, out.name);
    RegularFile file = readRegularFile(path, MaxInvoiceFileBytes, out.name);
    if (file.fault == RegularFile::Fault::Missing)
        return refused(404, QStringLiteral("File %1 non trovato nella cartella dell'azienda (%2).").arg(out.name, QFileInfo(path).absolutePath()));
    if (!file.ok())
        return refused(422, file.error);
    out.bytes = std::move(file.bytes);
    return std::nullopt;
}

// The check of a file about to be sent: its name must not be one this business has sent
// before (another invoice whose progressive gave the same name).
CheckOptions checkOptions(DbConnection &conn, const QString &name, int number)
{
    CheckOptions options;
    options.fileName = name;
    options.nameAlreadySent = [&conn, number](const QString &fileName) {
        const DbResult r = conn.select(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file = ? AND id_invio <> ? AND ")
                                           + sentInvoiceCondition(),
                                       {fileName, number});
        return !r.rows.empty() && r.rows.front().raw(0) != QByteArrayView("0");
    };
    return options;
}

Refusal checkInvoice(DbConnection &conn, Outgoing &out)
{
    const std::vector<PresendProblem> problems = checkInvoiceBytes(out.bytes, out.name, checkOptions(conn, out.name, out.number));
    QStringList refusals;
    for (const PresendProblem &p : problems)
        (p.isWarning() ? out.warnings : refusals) << describeProblem(p);
    if (refusals.isEmpty())
        return std::nullopt;
    const QString count = refusals.size() == 1 ? QStringLiteral("1 problema") : QStringLiteral("%1 problemi").arg(refusals.size());
    ServiceAnswer answer = refused(422, QStringLiteral("Il file %1 non supera i controlli prima dell'invio (%2):").arg(out.name, count), refusals);
    answer.warningsHeading = warningsHeading();
    answer.warnings = out.warnings;
    return answer;
}

// The file as it goes out: signed ("<name>.p7m") where it must be, otherwise as checked.
// From here on the bytes and the name are those handed over and journalled.
Refusal signInvoice(InvoiceSigner &signer, Outgoing &out)
{
    try {
        OutgoingFile file = signer.prepare(out.bytes, out.name);
        out.bytes = std::move(file.bytes);
        out.name = file.name;
    } catch (const SigningRefusal &e) {
        return refused(422, e.text());
    }
    return std::nullopt;
}

// Records the hand-over, delivers the bytes, marks the invoice as sent and commits.
ServiceAnswer handOver(DbConnection &conn, DbTransaction &transaction, Channel &channel, HandoverJournal &journal, const Outgoing &out)
{
    try {
        journal.begin(out.number, out.name, out.bytes);
    } catch (const AppError &e) {
        return refused(500, QStringLiteral("Consegna non iniziata: %1").arg(e.text()));
    }
    try {
        channel.deliver(out.bytes, out.name);
    } catch (const AppError &e) {
        journal.finish(out.number);
        return refused(502, QStringLiteral("Consegna non riuscita: %1").arg(e.text()));
    }
    try {
        journal.delivered(out.number);
    } catch (const AppError &) {
        // The record of the start stays: the channel's own trace settles it if need be.
    }
    try {
        conn.exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = ?"), {out.number});
        transaction.commit();
    } catch (const AppError &e) {
        if (channel.withdraw(out.name)) {
            journal.finish(out.number);
            return refused(500, QStringLiteral("Impossibile segnare la fattura come inviata (%1): la consegna è stata annullata.").arg(e.text()));
        }
        // The journal keeps the delivery: the invoice is marked when the service starts
        // again or before its next sending, never handed over twice.
        return {500, QStringLiteral("Fattura inviata, stato non registrato"),
                QStringLiteral("Il file %1 è stato consegnato %2, ma la fattura non è stata ancora segnata come inviata (%3): "
                               "il servizio la segnerà alla prossima partenza o alla prossima richiesta di invio; non inviarla di nuovo.")
                    .arg(out.name, channel.destination(), e.text()),
                {}};
    }
    journal.finish(out.number);
    ServiceAnswer sent{200, QStringLiteral("Fattura inviata"),
                       QStringLiteral("La fattura numero %1 (file %2) è stata consegnata %3 ed è segnata come inviata.")
                           .arg(out.number)
                           .arg(out.name, channel.destination()),
                       {}};
    sent.warningsHeading = warningsHeading();
    sent.warnings = out.warnings;
    return sent;
}


} // namespace

QString companyFilePath(DbConnection &conn, const QString &bareName)
{
    const DbResult company = conn.select(QStringLiteral("SELECT path FROM azienda ORDER BY codice LIMIT 1"));
    if (company.rows.empty())
        throw AppError(QStringLiteral("mancano i dati dell'azienda (tabella azienda vuota)"));
    const QString folder = QString::fromUtf8(company.rows.front().raw(0).toByteArray()).trimmed();
    return folder + bareName;
}

ServiceAnswer sendInvoice(DbConnection &conn, Channel &channel, HandoverJournal &journal, InvoiceSigner &signer, const SendRequest &request)
{
    Outgoing out;
    if (Refusal r = readRequest(request, out))
        return *r;
    DbTransaction transaction(conn);
    if (Refusal r = lockInvoice(conn, out))
        return *r;
    if (Refusal r = refuseRejectedName(conn, out))
        return *r;
    if (Refusal r = settleEarlierHandover(conn, transaction, channel, journal, out))
        return *r;
    if (Refusal r = readInvoiceFile(conn, out))
        return *r;
    if (Refusal r = checkInvoice(conn, out))
        return *r;
    if (Refusal r = signInvoice(signer, out))
        return *r;
    return handOver(conn, transaction, channel, journal, out);
}
