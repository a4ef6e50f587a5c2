#include "transmission/invio_sdi.h"

#include "transmission/address_opener.h"
#include "data/columns.h"
#include "data/diz.h"
#include "transmission/handover_address.h"
#include "data/messages.h"
#include "invoice/sent_invoice.h"
#include "settings/service_settings.h"

#include <QStringList>

namespace {

// The address of one hand-over, carrying the installation's key.
QString handOverAddress(const ServiceSettings &settings, SendingScript script, const QString &fileName, int number)
{
    return withServiceKey(sendingAddress(script, serviceBaseUrl(settings), fileName, number), settings);
}

QString companyPath(TDiz &diz) { return diz.AziendaT.text(col::azienda::path); }

// "Invio a SDI" and "Invio P.A.": the current invoice through one of the two scripts.
void sendCurrent(TDiz &diz, Messages &messages, SendingScript script)
{
    DbTable &testata = diz.Testata;
    if (testata.isEmpty()) {
        messages.inform(QStringLiteral("Nessuna fattura selezionata"));
        return;
    }
    if (isInvoiceSent(testata)) {
        messages.inform(QStringLiteral("Fattura gia inviata"));
        return;
    }
    const QString missing = unwrittenFileReason(testata, companyPath(diz));
    if (!missing.isEmpty()) {
        messages.inform(QStringLiteral("Fattura %1 non inviata: %2. Usare prima \"Creazione File XML\".")
                            .arg(testata.asInteger(col::testata::id_invio))
                            .arg(missing));
        return;
    }
    if (!messages.confirm(QStringLiteral("Confermi invio a SDI ?")))
        return;
    const QString fileName = testata.asString(col::testata::nome_file);
    const int number = testata.asInteger(col::testata::id_invio);
    addressOpener().open(handOverAddress(loadServiceSettings(), script, fileName, number), messages);
}

// Testata limited to the unsent invoices, for the batch.
void selectUnsent(DbTable &testata)
{
    testata.setSql(QStringLiteral("select * from testata where ") + unsentInvoiceCondition());
    testata.open();
}

// The keys of the invoices the batch works through, taken once at its start: whatever
// later re-reads do to the list, every one of them is sent or listed as skipped.
QList<int> batchKeys(const DbTable &testata)
{
    QList<int> keys;
    const int column = testata.indexOfField(col::testata::id_invio);
    for (int row = 0; row < testata.rowCount(); ++row)
        keys << testata.valueAt(row, column).toInt();
    return keys;
}

// One invoice of the batch as stored now: why it is not sent, or its file name.
struct BatchInvoice {
    QString skipReason;
    bool missingFile = false;
    QString fileName;
};

BatchInvoice storedBatchInvoice(DbConnection &conn, int number, const QString &companyPath)
{
    const DbResult r =
        conn.select(QStringLiteral("SELECT inviata, nome_file FROM testata WHERE id_invio = ?"), {number});
    BatchInvoice out;
    if (r.rows.empty()) {
        out.skipReason = QStringLiteral("eliminata nel frattempo su un'altra postazione");
        return out;
    }
    const DbRow &row = r.rows.front();
    if (isInvoiceSent(row, 0)) {
        out.skipReason = QStringLiteral("inviata nel frattempo");
        return out;
    }
    out.fileName = row.isNull(1) ? QString() : QString::fromUtf8(row.raw(1));
    out.skipReason = unwrittenFileReason(out.fileName, companyPath);
    out.missingFile = !out.skipReason.isEmpty();
    return out;
}

// Testata back on `statement`, positioned on the first invoice.
void restoreList(DbTable &testata, const QString &statement)
{
    testata.setSql(statement);
    testata.open();
    testata.first();
}

} // namespace

void InvioSdi(TDiz &diz, Messages &messages) { sendCurrent(diz, messages, SendingScript::Private); }

void InvioPa(TDiz &diz, Messages &messages) { sendCurrent(diz, messages, SendingScript::PublicAdministration); }

void InvioFattureSdi(TDiz &diz, Messages &messages)
{
    if (!messages.confirm(QStringLiteral("Confermi invio Fatture al SDI: ?")))
        return;
    DbTable &testata = diz.Testata;
    const QString path = companyPath(diz);
    const ServiceSettings settings = loadServiceSettings();
    const QString statement = testata.sql();
    QStringList skipped, skippedOther;
    try {
        selectUnsent(testata);
        for (const int number : batchKeys(testata)) {
            testata.locate(col::testata::id_invio, number);  // the list shows the invoice being sent
            const BatchInvoice invoice = storedBatchInvoice(diz.xml_conn, number, path);
            if (!invoice.skipReason.isEmpty()) {
                (invoice.missingFile ? skipped : skippedOther) << QStringLiteral("%1: %2").arg(number).arg(invoice.skipReason);
                continue;
            }
            addressOpener().open(handOverAddress(settings, SendingScript::Private, invoice.fileName, number), messages);
        }
    } catch (...) {
        // The list never stays limited to the unsent invoices; the first error is the one reported.
        try {
            restoreList(testata, statement);
        } catch (...) {
        }
        throw;
    }
    restoreList(testata, statement);
    QStringList report;
    if (!skipped.isEmpty())
        report << QStringLiteral("Fatture non inviate perche senza file XML:\n") + skipped.join(QLatin1Char('\n'));
    if (!skippedOther.isEmpty())
        report << QStringLiteral("Fatture non inviate:\n") + skippedOther.join(QLatin1Char('\n'));
    if (!report.isEmpty())
        messages.inform(report.join(QStringLiteral("\n\n")));
}
