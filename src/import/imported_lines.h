#pragma once
// The lines that the import gives a new invoice: the source document's own lines or, for
// a deferred invoice, one reference row per delivery note followed by the note's lines.
#include "import/imported_document.h"

class TDiz;

// Writes the lines of the invoice `idInvio` (the current header of diz.Testata) for the
// document on which diz.Test_Fatt stands, numbering them 1, 2, 3 ... in `prog`.
void importLines(TDiz &diz, const ImportedDocument &doc, int idInvio);

// The statement that finds the delivery notes of the deferred invoice `protocollo`.
QString deliveryNotesSql(const QString &database, int protocollo);
