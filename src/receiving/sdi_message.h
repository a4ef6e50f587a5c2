#pragma once
// The exchange system's messages about a file: the answers to a sent invoice (delivery
// receipt RC, rejection NS, failed delivery MC, the public administration's outcome NE,
// lapse of terms DT, transmission certificate AT) and the metadata of a received invoice
// (MT), schema MessaggiTypes 1.1. Files are read as hostile input: a size limit, no
// document type declaration, no entity, nothing fetched, and the schema checked.
#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace Sdi {

// The largest message file read (real ones are a few kilobytes).
inline constexpr qint64 MaxMessageSize = 1024 * 1024;

struct Error {
    QString code;         // five characters ("00404")
    QString description;
};

struct Message {
    QString type;         // "RC", "NS", "MC", "NE", "DT", "AT" or "MT"
    QString idSdi;        // IdentificativoSdI
    QString nomeFile;     // the invoice file the message is about (.xml, or .xml.p7m when signed)
    QString messageId;    // MessageId
    QString dateTime;     // delivery (RC) or receipt time as written; empty when the message has none
    QString outcome;      // NE: EC01 accepted, EC02 refused
    QString description;  // descriptions and notes, one a line
    QList<Error> errors;  // NS: ListaErrori

    // An answer to an invoice this business sent (every type but MT).
    bool isAnswer() const { return type != QLatin1String("MT"); }
};

struct MessageRead {
    std::optional<Message> message;
    QString error;        // Italian, when no message
};

// Reads one message file's bytes.
MessageRead readMessage(const QByteArray &bytes);

// "RC - Ricevuta di consegna" and the like; the code itself for an unknown one.
QString typeCaption(const QString &type);

// The errors as stored: one a line, the code, a blank, the description.
QString errorsText(const QList<Error> &errors);
QList<Error> errorsFromText(const QString &text);

// The invoice file a message names: its NomeFile without a signed envelope's ".p7m".
QString invoiceFileName(const QString &nomeFile);

} // namespace Sdi
