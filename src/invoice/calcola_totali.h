#pragma once
// The totals and VAT summary of the current invoice, rebuilt from its lines as stored.
class TDiz;

// Acts on the invoice of the current row of diz.Testata. A pending change of the header
// (the header editor's bound fields) is stored first, as any post stores it. Then, in one
// transaction with the header row locked on the server (InvoiceLock), the invoice's lines
// and header inputs are read as stored (whatever this desk holds), the summary is
// computed (InvoiceTotals) and stored. Afterwards the held header row and the lines of
// diz.Detta show what is stored; the current line stays where it was.
// Raises AppError(InvoiceLock::deletedMessage()) when the invoice is no longer stored,
// ConversionError for a line whose quantity, total or (free goods) rate is not a number
// (the emptied summary and the rates assigned before it are stored), AppError for an
// amount too long for its column or a number far out of range (likewise), and, after
// storing everything, AppError "Aliquota IVA non riepilogata: %s" when a counted line
// with a non-zero total found no bucket.
void CalcolaTotali(TDiz &diz);

// The same for an invoice whose header (the current row of diz.Testata) and lines were
// stored new in the transaction the caller holds open (the import): they are visible to
// that transaction alone and locked by their own inserts. The header inputs and lines are
// read as stored in one locking read, and the summary is stored through diz.Testata,
// which then holds it as stored; no savepoint is set, so any failure is the caller's to
// roll back with the whole invoice. Raises as CalcolaTotali does, storing nothing of a
// run stopped by a line. Without an open transaction it is CalcolaTotali.
void CalcolaTotaliNewInvoice(TDiz &diz);
