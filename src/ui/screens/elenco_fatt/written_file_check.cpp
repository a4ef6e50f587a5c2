#include "ui/screens/elenco_fatt/written_file_check.h"

#include "checks/fatturapa_schema.h"
#include "data/messages.h"
#include "checks/presend_check.h"

#include <QSet>

void checkWrittenFile(const QString &path, Messages &messages)
{
    const QString schemaProblem = FatturaPaSchema::problem();
    if (!schemaProblem.isEmpty()) {
        // Told once per schema folder for the whole run.
        static QSet<QString> told;
        const QString folder = presendSchemaFolder();
        if (told.contains(folder))
            return;
        told.insert(folder);
        messages.inform(QStringLiteral("File XML scritto, ma non controllato: su questo computer manca lo schema "
                                       "FatturaPA (%1).\nÈ un problema di installazione, non del file: i file XML "
                                       "vengono scritti, ma fino a quando lo schema non è installato non sono "
                                       "controllati prima dell'invio.")
                            .arg(schemaProblem));
        return;
    }
    const std::vector<PresendProblem> problems = checkInvoiceFile(path);
    if (problems.empty())
        return;
    if (hasRefusals(problems))
        messages.inform(QStringLiteral("File XML scritto, ma SDI lo scarterebbe:\n") + describeProblems(problems));
    else
        messages.inform(QStringLiteral("File XML scritto.\n\n") + describeProblems(problems));
}
