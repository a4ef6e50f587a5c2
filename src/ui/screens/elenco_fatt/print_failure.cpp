#include "ui/screens/elenco_fatt/print_failure.h"

#include "data/app_error.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "data/diz.h"
#include "data/text_forms.h"

namespace {

// The document date as the print reads it (day/month/four-digit year); false when it is
// missing or is not such a date.
bool readableDate(const QString &text)
{
    try {
        TextForms::readDate(text);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

QString missingDatum(const TDiz &diz, const std::exception &error)
{
    const DbTable &invoices = diz.Testata;
    if (!invoices.isOpen() || invoices.isEmpty())
        return QStringLiteral("Nessuna fattura selezionata.");
    const QString date = invoices.text(col::testata::data_doc);
    if (date.trimmed().isEmpty())
        return QStringLiteral("Data Documento mancante: la stampa riporta l'anno del documento.");
    if (!readableDate(date))
        return QStringLiteral("Data Documento non valida: \"%1\" (serve giorno/mese/anno, per esempio 05/03/2026).").arg(date);
    return errorText(error);
}

} // namespace

QString missingDataMessage(const TDiz &diz, const std::exception &error)
{
    return QStringLiteral("Mancanza Dati\n") + missingDatum(diz, error);
}
