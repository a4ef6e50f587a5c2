#include "service/load_invoice.h"

#include "receiving/received_invoice.h"

ServiceAnswer loadInvoice(DbConnection &conn, const QString &receivedFolder, const std::optional<QString> &nomeFile)
{
    if (!nomeFile)
        return {400, QStringLiteral("Fattura non caricata"), QStringLiteral("Richiesta incompleta: serve nome_file."), {}};
    if (!isBareReceivedName(*nomeFile))
        return {400, QStringLiteral("Fattura non caricata"),
                QStringLiteral("Nome file non ammesso: \"%1\". Serve il solo nome del file, senza cartelle e senza \"..\".").arg(*nomeFile),
                {}};
    const LoadOutcome outcome = loadReceivedInvoice(conn, receivedFolder, *nomeFile);
    if (!outcome.loaded)
        return {422, QStringLiteral("Fattura non caricata"),
                outcome.message.isEmpty() ? QStringLiteral("Il file %1 non è stato caricato.").arg(*nomeFile) : outcome.message, {}};
    return {200, QStringLiteral("Fattura caricata"),
            outcome.message.isEmpty() ? QStringLiteral("Il file %1 è stato caricato.").arg(*nomeFile) : outcome.message, outcome.invoices};
}
