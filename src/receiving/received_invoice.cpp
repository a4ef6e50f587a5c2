#include "receiving/received_invoice.h"

#include "data/app_error.h"
#include "data/bare_file_name.h"
#include "data/columns.h"
#include "data/database_refusal.h"
#include "data/db_connection.h"
#include "data/db_transaction.h"
#include "checks/doctype_free_xml.h"
#include "receiving/fattura_reader.h"
#include "receiving/received_identity.h"
#include "receiving/received_rows.h"
#include "data/regular_file.h"
#include "receiving/signed_content.h"

#include <QDir>

namespace {

LoadOutcome refused(const QString &why)
{
    LoadOutcome out;
    out.message = why;
    return out;
}

QString insertStatement(const QString &table, const QStringList &columns, int rows)
{
    QStringList quoted;
    for (const QString &c : columns)
        quoted << DbConnection::quoteName(c);
    QString marks = QStringLiteral("(") + QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(DbConnection::quoteName(table), quoted.join(QLatin1Char(',')), QStringList(rows, marks).join(QLatin1Char(',')));
}

bool alreadyLoaded(DbConnection &conn, const QString &name)
{
    // nome_file compares byte for byte (binary collation): letter case counts.
    return !conn.select(QStringLiteral("SELECT prot FROM test_car WHERE nome_file = ? LIMIT 1"), {name}).rows.empty();
}

// Stores every body of `doc`; returns the descriptions of the stored invoices.
QStringList store(DbConnection &conn, const Received::Document &doc, const QString &name)
{
    QStringList described;
    for (const Received::Body &body : doc.bodies) {
        const Received::RowValues header = Received::headerRow(doc, body, name);
        conn.exec(insertStatement(QStringLiteral("test_car"), header.columns, 1), header.values);
        const int prot = int(conn.lastInsertId());
        if (!body.lines.isEmpty()) {
            QStringList columns;
            QVariantList values;
            for (const Received::Line &line : body.lines) {
                Received::RowValues row = Received::lineRow(line);
                if (columns.isEmpty())
                    columns = QStringList{col::dett_car::prot_car} + row.columns;
                values << prot << row.values;
            }
            conn.exec(insertStatement(QStringLiteral("dett_car"), columns, int(body.lines.size())), values);
        }
        described << QStringLiteral("%1, n. %2 del %3, totale %4")
                         .arg(doc.supplier.name, body.number, header.values[header.columns.indexOf(col::test_car::data_doc)].toString(),
                              Received::amountText(body.total()));
    }
    return described;
}

} // namespace

bool isBareReceivedName(const QString &name) { return isBareFileName(name, ReceivedNameWidth); }

LoadOutcome loadReceivedInvoice(DbConnection &conn, const QString &folder, const QString &bareName)
{
    if (!isBareReceivedName(bareName))
        return refused(QStringLiteral("Nome file non valido: \"%1\" (serve il solo nome del file, senza cartella, al massimo %2 caratteri)")
                           .arg(bareName)
                           .arg(ReceivedNameWidth));
    // A FatturaPA file, signed or not, is at most 5 MB; a name that is not a regular file
    // (a FIFO would keep the reading waiting) is refused.
    RegularFile file = readRegularFile(QDir(folder).filePath(bareName), MaxInvoiceFileBytes, bareName);
    if (!file.ok())
        return refused(file.error);
    QByteArray data = std::move(file.bytes);

    if (!Received::looksLikeXml(data)) {
        Received::SignedContent signedContent = Received::extractSignedContent(data);
        if (!signedContent.ok)
            return refused(QStringLiteral("File %1 non caricato: %2").arg(bareName, signedContent.error));
        data = std::move(signedContent.content);
    }
    const Received::ReadResult read = Received::readFattura(data);
    if (!read.document)
        return refused(QStringLiteral("File %1 non caricato: %2").arg(bareName, read.error));

    try {
        // A lock on the name keeps two loadings of the same file from both passing the check.
        const QString lockName = QStringLiteral("xn_carico_") + bareName;
        const DbResult lock = conn.select(QStringLiteral("SELECT GET_LOCK(?, 10)"), {lockName});
        if (lock.rows.empty() || lock.rows[0].raw(0) != QByteArrayView("1"))
            return refused(QStringLiteral("File %1 non caricato: un altro caricamento dello stesso file e in corso").arg(bareName));
        struct Release {
            DbConnection &conn;
            QString name;
            ~Release()
            {
                try {
                    conn.select(QStringLiteral("SELECT RELEASE_LOCK(?)"), {name});
                } catch (...) {
                }
            }
        } release{conn, lockName};

        if (alreadyLoaded(conn, bareName))
            return refused(QStringLiteral("Attenzione... File gia Caricato: %1").arg(bareName));
        // The same invoice under another file name, also while it is being loaded.
        const std::vector<ReceivedIdentity> identities = receivedIdentities(*read.document);
        const ReceivedIdentityLocks identityLocks(conn, identities);
        if (const std::optional<EarlierLoading> earlier = findLoadedInvoice(conn, identities))
            return refused(alreadyLoadedMessage(*earlier));
        DbTransaction transaction(conn);
        LoadOutcome out;
        out.invoices = store(conn, *read.document, bareName);
        transaction.commit();
        out.loaded = true;
        // The page's title already says what happened: the message says from where.
        out.message = out.invoices.size() == 1 ? QStringLiteral("Dal file %1.").arg(bareName)
                                               : QStringLiteral("%1 fatture caricate dal file %2").arg(out.invoices.size()).arg(bareName);
        return out;
    } catch (const DbError &e) {
        return refused(QStringLiteral("File %1 non caricato: %2").arg(bareName, databaseRefusal(e)));
    } catch (const AppError &e) {
        return refused(QStringLiteral("File %1 non caricato: %2").arg(bareName, e.text()));
    }
}
