#pragma once
// Storing one answer of the exchange system into notifiche_sdi, against the invoice whose
// file it names. A rejection (NS) of the file the invoice still carries takes the invoice's
// sent flag back, under the invoice row's lock: the invoice counts as never issued, and it
// may be corrected and sent again (the XML writers then give it a new file name).
#include "receiving/sdi_message.h"

class DbConnection;

enum class StoreResult {
    Stored,
    AlreadyStored,   // the same message (identifier, type, message id) was stored before
    UnknownInvoice,  // no invoice has, or had, the file the message names
};

struct StoreOutcome {
    StoreResult result = StoreResult::Stored;
    int idInvio = 0;         // the invoice matched (Stored, AlreadyStored)
    bool reopened = false;   // a rejection took the invoice's sent flag back
};

// `message` must be an answer (not MT). `messageFile` is the bare name of its file. Raises
// DbError when the database fails (nothing is then stored).
StoreOutcome storeSdiMessage(DbConnection &conn, const Sdi::Message &message, const QString &messageFile);
