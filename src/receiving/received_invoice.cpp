#include "received_invoice.h"

LoadOutcome loadReceivedInvoice(DbConnection &, const QString &, const QString &) { return {}; }
