#include "invio_sdi.h"

#include "address_opener.h"
#include "diz.h"
#include "handover_address.h"
#include "messages.h"
#include "service_settings.h"

#include <QStringList>

namespace {

// The address of one hand-over, carrying the installation's key.
QString handOverAddress(const ServiceSettings &settings, SendingScript script, const QString &fileName, int number)
{
    return withServiceKey(sendingAddress(script, serviceBaseUrl(settings), fileName, number), settings);
}

QString companyPath(TDiz &diz) { return diz.AziendaT.text(QStringLiteral("path")); }

bool isSent(const DbTable &testata)
{
    return !testata.isNull(QStringLiteral("inviata")) && testata.asInteger(QStringLiteral("inviata")) != 0;
}

// "Invio a SDI" and "Invio P.A.": the current invoice through one of the two scripts.
void sendCurrent(TDiz &diz, Messages &messages, SendingScript script)
{
    DbTable &testata = diz.Testata;
    if (testata.isEmpty()) {
        messages.inform(QStringLiteral("Nessuna fattura selezionata"));
        return;
    }
    if (isSent(testata)) {
        messages.inform(QStringLiteral("Fattura gia inviata"));
        return;
    }
    const QString missing = unwrittenFileReason(testata, companyPath(diz));
    if (!missing.isEmpty()) {
        messages.inform(QStringLiteral("Fattura %1 non inviata: %2. Usare prima \"Creazione File XML\".")
                            .arg(testata.asInteger(QStringLiteral("id_invio")))
                            .arg(missing));
        return;
    }
    if (!messages.confirm(QStringLiteral("Confermi invio a SDI ?")))
        return;
    const QString fileName = testata.asString(QStringLiteral("nome_file"));
    const int number = testata.asInteger(QStringLiteral("id_invio"));
    addressOpener().open(handOverAddress(loadServiceSettings(), script, fileName, number), messages);
}

// Testata limited to the unsent invoices, for the batch.
void selectUnsent(DbTable &testata)
{
    testata.setSql(QStringLiteral("select * from testata where inviata=0 or inviata is null"));
    testata.open();
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
    QStringList skipped;
    try {
        selectUnsent(testata);
        for (testata.first(); !testata.eof(); testata.next()) {
            const int number = testata.asInteger(QStringLiteral("id_invio"));
            const QString missing = unwrittenFileReason(testata, path);
            if (!missing.isEmpty()) {
                skipped << QStringLiteral("%1: %2").arg(number).arg(missing);
                continue;
            }
            addressOpener().open(handOverAddress(settings, SendingScript::Private, testata.asString(QStringLiteral("nome_file")), number),
                                 messages);
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
    if (!skipped.isEmpty())
        messages.inform(QStringLiteral("Fatture non inviate perche senza file XML:\n") + skipped.join(QLatin1Char('\n')));
}
