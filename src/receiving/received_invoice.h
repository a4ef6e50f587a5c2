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

// `bareName` must be a bare file name inside `folder`.
LoadOutcome loadReceivedInvoice(DbConnection &conn, const QString &folder, const QString &bareName);
