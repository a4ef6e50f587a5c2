#pragma once
// Deleting the current invoice of the data module together with its lines, as one unit:
// the lines and the header go in one transaction, so a failure while deleting the header
// leaves the lines in place. A sent invoice is a fiscal document and is never deleted.
// The invoice's linked-document groups (test_dati, dati_acquisto) stay in the database.
class Messages;
class TDiz;

enum class DeleteQuestion {
    Ask,               // "Elimina Fattura": asks "Confermi Eliminazione Fattura: ?" first
    AlreadyConfirmed,  // the navigator's delete, after its own "Delete record?"
};

// Deletes the current row of diz.Testata with its lines; true when something was deleted
// (or a new header not stored yet was dropped). Errors of the server are raised; the
// tables then hold again what the server holds.
bool deleteCurrentInvoice(TDiz &diz, Messages &messages, DeleteQuestion question);
