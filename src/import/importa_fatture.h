#pragma once
// "Importa Fatture": brings the year's invoices and credit notes of the management
// database over into the invoice tables, each with its lines, totals and XML file.
#include <QString>
#include <functional>

class Messages;
class TDiz;

// Asks for confirmation, then takes the server's import lock: while another desk's import
// runs, the message "Importazione già in corso su un'altra postazione" is shown and
// nothing is read or written. Then imports every document of the year of the registers FV, FD,
// FI, NC and NI, in protocol order, that is not dated after `limitDateText` (the
// workspace's date field, day/month/two-digit year) and whose number and type are not in
// testata yet (asked again of the server inside each document's transaction, so that no
// interleaving with another writer brings a document over twice). `workspaceCaption` gives
// the numbering suffix ("A": none).
// A document's header, lines, totals and file name are written in one transaction: a
// failure while writing them (an amount too long for its column among them) leaves
// nothing of that document, and a later run brings it over whole. The file is put in
// place just before the commit (and removed when the commit fails); a file that cannot be
// written stops the run with its error, the invoice stored complete without `nome_file`.
// diz.Testata must carry the new-invoice defaults (installTestataHooks).
// `progress`, when given, is told before each selected document and once at the end how
// many of the selected documents are done (skipped ones included) out of how many;
// returning false stops the run there, between two documents.
using ImportProgress = std::function<bool(int done, int total)>;
void ImportaFatture(TDiz &diz, Messages &messages, const QString &limitDateText, const QString &workspaceCaption,
                    const ImportProgress &progress = {});

// The statement that selects the documents of `year` in the management database `database`.
QString importSelectionSql(const QString &database, const QString &year);
