#pragma once
// The invoice header that the import makes of a management document.
#include "import/imported_document.h"

class DbTable;

// Appends a header to `testata` (its new-row defaults run first), writes the buyer, the
// number, the type, the provisional VAT buckets and totals of the document on which
// `testFatt` stands, and posts it. Returns the header's new id_invio.
int appendImportedHeader(DbTable &testata, const DbTable &testFatt, const ImportedDocument &doc);
