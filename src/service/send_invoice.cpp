#include "send_invoice.h"

#include "app_error.h"
#include "bare_name.h"
#include "channel.h"
#include "db_connection.h"
#include "presend_check.h"

#include <QFileInfo>

namespace {

ServiceAnswer refused(int status, const QString &message, const QStringList &items = {})
{
    return {status, QStringLiteral("Fattura non inviata"), message, items};
}

// inviata (column `column` of the first row) is true when it holds a value other than 0.
bool isSent(const DbResult &r, int column)
{
    const DbRow &row = r.rows.front();
    return !row.isNull(column) && row.raw(column) != QByteArrayView("0");
}

// Rolls back an open transaction when the scope is left before commit.
class Transaction {
public:
    explicit Transaction(DbConnection &conn) : m_conn(conn) { m_conn.begin(); }
    ~Transaction()
    {
        if (!m_done)
            m_conn.rollback();
    }
    void commit()
    {
        m_conn.commit();
        m_done = true;
    }

private:
    DbConnection &m_conn;
    bool m_done = false;
};

// The check of a file about to be sent: its name must not be one this business has sent
// before (another invoice whose progressive gave the same name).
CheckOptions checkOptions(DbConnection &conn, const QString &name, int number)
{
    CheckOptions options;
    options.fileName = name;
    options.nameAlreadySent = [&conn, number](const QString &fileName) {
        const DbResult r = conn.select(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file = ? AND id_invio <> ? "
                                                      "AND inviata IS NOT NULL AND inviata <> 0"),
                                       {fileName, number});
        return !r.rows.empty() && r.rows.front().raw(0) != QByteArrayView("0");
    };
    return options;
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

ServiceAnswer sendInvoice(DbConnection &conn, Channel &channel, const SendRequest &request)
{
    if (!request.nomeFile || !request.nInvio)
        return refused(400, QStringLiteral("Richiesta incompleta: servono nome_file e n_invio."));
    const QString name = *request.nomeFile;
    int number = 0;
    if (!isBareInvoiceName(name))
        return refused(400, QStringLiteral("Nome file non ammesso: \"%1\". Serve il solo nome del file (lettere, cifre, _ e .), "
                                           "senza cartelle e senza \"..\".")
                                .arg(name));
    if (!readInvoiceNumber(*request.nInvio, &number))
        return refused(400, QStringLiteral("Numero fattura non valido: \"%1\". n_invio deve essere un numero.").arg(*request.nInvio));

    const DbResult found = conn.select(QStringLiteral("SELECT nome_file, inviata FROM testata WHERE id_invio = ?"), {number});
    if (found.rows.empty())
        return refused(404, QStringLiteral("Nessuna fattura con numero %1.").arg(number));
    const QString storedName = QString::fromUtf8(found.rows.front().raw(0).toByteArray());
    if (storedName != name)
        return refused(404, QStringLiteral("La fattura numero %1 non ha il file %2 (file registrato: \"%3\").").arg(number).arg(name, storedName));
    if (isSent(found, 1))
        return refused(409, QStringLiteral("Fattura già inviata: numero %1, file %2.").arg(number).arg(name));

    const QString path = companyFilePath(conn, name);
    if (!QFileInfo(path).isFile())
        return refused(404, QStringLiteral("File %1 non trovato nella cartella dell'azienda (%2).").arg(name, QFileInfo(path).absolutePath()));

    const std::vector<PresendProblem> problems = checkInvoiceFile(path, checkOptions(conn, name, number));
    QStringList refusals, warnings;
    for (const PresendProblem &p : problems)
        (p.isWarning() ? warnings : refusals) << describeProblem(p);
    if (!refusals.isEmpty()) {
        const QString count = refusals.size() == 1 ? QStringLiteral("1 problema") : QStringLiteral("%1 problemi").arg(refusals.size());
        ServiceAnswer answer =
            refused(422, QStringLiteral("Il file %1 non supera i controlli prima dell'invio (%2):").arg(name, count), refusals);
        answer.warningsHeading = warningsHeading();
        answer.warnings = warnings;
        return answer;
    }

    // The row stays locked from the reading of the flag to its setting: a second request for
    // the same invoice waits here and then finds it sent.
    Transaction tx(conn);
    const DbResult state = conn.select(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ? FOR UPDATE"), {number});
    if (state.rows.empty())
        return refused(404, QStringLiteral("La fattura numero %1 non esiste più.").arg(number));
    if (isSent(state, 0))
        return refused(409, QStringLiteral("Fattura già inviata: numero %1, file %2.").arg(number).arg(name));
    try {
        channel.deliver(path, name);
    } catch (const AppError &e) {
        return refused(502, QStringLiteral("Consegna non riuscita: %1").arg(e.text()));
    }
    try {
        conn.exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = ?"), {number});
        tx.commit();
    } catch (const AppError &e) {
        if (channel.withdraw(name))
            return refused(500, QStringLiteral("Impossibile segnare la fattura come inviata (%1): la consegna è stata annullata.").arg(e.text()));
        return {500, QStringLiteral("Fattura inviata, stato non registrato"),
                QStringLiteral("Il file %1 è stato consegnato %2, ma la fattura non è stata segnata come inviata (%3): "
                               "spuntare \"Inviata\" nella testata e non inviarla di nuovo.")
                    .arg(name, channel.destination(), e.text()),
                {}};
    }
    ServiceAnswer sent{200, QStringLiteral("Fattura inviata"),
                       QStringLiteral("La fattura numero %1 (file %2) è stata consegnata %3 ed è segnata come inviata.")
                           .arg(number)
                           .arg(name, channel.destination()),
                       {}};
    sent.warningsHeading = warningsHeading();
    sent.warnings = warnings;
    return sent;
}
