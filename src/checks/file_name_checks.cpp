#include "checks/file_name_checks.h"

#include <QRegularExpression>

namespace Checks {

bool isValidInvoiceFileName(const QString &name)
{
    // The identifier is a VAT number or a fiscal code (up to 28 characters abroad); the
    // extension is matched without regard to case.
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[A-Za-z0-9]{2,28}_[A-Za-z0-9]{1,5}\\.xml(\\.p7m)?$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression country(QStringLiteral("^[A-Z]{2}"));
    return form.match(name).hasMatch() && country.match(name).hasMatch();
}

void checkFileName(const CheckOptions &options, std::vector<PresendProblem> &problems)
{
    const QString &name = options.fileName;
    if (name.isEmpty() || options.received)
        return;
    if (!isValidInvoiceFileName(name)) {
        problems.push_back({QStringLiteral("00001"), name,
                            QStringLiteral("nome del file \"%1\" non valido: serve codice paese + identificativo del trasmittente "
                                           "+ \"_\" + progressivo di 1-5 lettere o cifre + \".xml\" o \".xml.p7m\"")
                                .arg(name)});
        return;
    }
    if (options.nameAlreadySent && options.nameAlreadySent(name))
        problems.push_back({QStringLiteral("00002"), name,
                            QStringLiteral("nome del file \"%1\" già usato da un file inviato: il nome deve essere nuovo").arg(name)});
}

} // namespace Checks
