#pragma once
// What the exchange system answered about the issued invoices, as stored in notifiche_sdi:
// every answer of one invoice, the latest answer of each invoice, and whether a file name
// was rejected. A database without the table has no answers.
#include "receiving/sdi_message.h"

#include <QHash>
#include <QList>
#include <QString>

class DbConnection;

namespace Sdi {

struct StoredAnswer {
    QString type;          // RC, NS, MC, NE, DT, AT
    QString nomeFile;      // the file the message names
    QString idSdi;
    QString dateTime;      // as the message gives it, else when it was read
    QString outcome;       // NE: EC01 / EC02
    QList<Error> errors;
    QString description;
    QString messageFile;
};

// The answers of invoice `idInvio`, in the order they were read.
QList<StoredAnswer> answersOf(DbConnection &conn, int idInvio);

// What the latest answer of an invoice says about the file the invoice carries now.
enum class Outcome {
    None,          // no answer, or only answers about an earlier file of the invoice
    Delivered,     // RC, or an outcome, lapse or certificate that follows delivery
    Rejected,      // NS: never issued; to be corrected and sent again
    NotDelivered,  // MC: in the buyer's tax drawer
    Refused,       // NE with EC02: the public administration refused it
};

struct Latest {
    QString type;
    QString outcome;
    QString nomeFile;
};

// The latest answer of every invoice that has one.
QHash<int, Latest> latestAnswers(DbConnection &conn);
// `latest` read against the file name the invoice carries now.
Outcome outcomeFor(const Latest &latest, const QString &currentFile);

// True when the exchange system rejected a file of this name (sent again under it, it would
// be refused as a duplicate name).
bool wasRejected(DbConnection &conn, const QString &invoiceFile);

} // namespace Sdi
