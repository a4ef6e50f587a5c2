#pragma once
// Loading of a received FatturaPA file (plain XML or signed .p7m) into test_car and
// dett_car: one header per invoice body with its lines, in one transaction.
#include <QString>
#include <QStringList>

class DbConnection;

struct LoadOutcome {
    bool loaded = false;
    QString message;      // Italian: why it was refused, or that it was loaded
    QStringList invoices; // per loaded header: supplier, number, date, total
};

// The longest name test_car.nome_file holds.
inline constexpr int ReceivedNameWidth = 40;

// A bare file name (see isBareFileName) of at most ReceivedNameWidth characters.
bool isBareReceivedName(const QString &name);

// `bareName` must be a bare file name inside `folder`. Refused, with nothing stored: a
// name that is not bare, a missing or unreadable file, a name that is not a regular file
// (a FIFO, a folder), a file over 5 MB, a name already in test_car.nome_file, an invoice
// already stored under any file name (received_identity.h), a file that is neither
// FatturaPA XML nor a signed envelope of one, a file with a document type declaration.
LoadOutcome loadReceivedInvoice(DbConnection &conn, const QString &folder, const QString &bareName);
