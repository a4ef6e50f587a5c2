#include "data/database_refusal.h"

#include "data/app_error.h"

#include <mysqld_error.h>

namespace {

QString sentence(unsigned code)
{
    switch (code) {
    case ER_DATA_TOO_LONG:
        return QStringLiteral("Un valore è più lungo di quanto la sua colonna del database può contenere.");
    case ER_WARN_DATA_OUT_OF_RANGE:
        return QStringLiteral("Un numero è fuori dall'intervallo che la sua colonna del database ammette.");
    case ER_TRUNCATED_WRONG_VALUE:
    case ER_TRUNCATED_WRONG_VALUE_FOR_FIELD:
    case WARN_DATA_TRUNCATED:
        return QStringLiteral("Un valore non è del tipo che la sua colonna del database ammette.");
    case ER_BAD_NULL_ERROR:
    case ER_NO_DEFAULT_FOR_FIELD:
        return QStringLiteral("Manca un valore obbligatorio per il database.");
    case ER_DUP_ENTRY:
        return QStringLiteral("Il database contiene già una riga con la stessa chiave.");
    case ER_LOCK_WAIT_TIMEOUT:
        return QStringLiteral("La fattura è bloccata da un'altra postazione da troppo tempo: riprovare tra poco.");
    case ER_LOCK_DEADLOCK:
        return QStringLiteral("Due operazioni sulle stesse righe si sono bloccate a vicenda: riprovare.");
    case ER_NO_SUCH_TABLE:
    case ER_BAD_FIELD_ERROR:
        return QStringLiteral("Il database non ha le tabelle o le colonne attese: controllare il nome del database nelle impostazioni.");
    case ER_DBACCESS_DENIED_ERROR:
    case ER_ACCESS_DENIED_ERROR:
    case ER_BAD_DB_ERROR:
        return QStringLiteral("Il server del database non dà accesso al database indicato nelle impostazioni.");
    default:
        return {};
    }
}

} // namespace

QString databaseRefusal(const DbError &error)
{
    if (error.isConnectionError())
        return error.text();  // already opens with the Italian sentence of the connection
    const QString italian = sentence(error.code());
    if (italian.isEmpty())
        return QStringLiteral("Il database ha rifiutato l'operazione (%1).").arg(error.serverText());
    return QStringLiteral("%1 (%2)").arg(italian, error.serverText());
}
