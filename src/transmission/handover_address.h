#pragma once
// The addresses of the local sending service and the check that an invoice's file was
// written before it is handed over.
#include <QString>

class DbTable;

enum class SendingScript { Private, PublicAdministration };

// "<base>/Fatt_Ven/mail_sdi.php?nome_file=<name>&n_invio=<number>" (mail_sdi_pa.php for
// public administrations), the name percent-encoded.
QString sendingAddress(SendingScript script, const QString &baseUrl, const QString &fileName, int number);

// Why the invoice file named by the current row of `testata` cannot be handed over: no
// name stored, or no such file in the company's folder `companyPath` (trimmed, the name
// appended directly). Empty when the file is there.
QString unwrittenFileReason(const DbTable &testata, const QString &companyPath);
// The same for a file name as stored (NULL read as empty text).
QString unwrittenFileReason(const QString &fileName, const QString &companyPath);
