#pragma once
// The totals and VAT summary of the current invoice, rebuilt from its lines.
class TDiz;

// Acts on the current row of diz.Testata and the lines diz.Detta shows for it.
// Empties the twelve rate/taxable/tax columns and posts the header; assigns each new
// rate of a counted line (quantity above 0) to the first free bucket, posting the
// header each time; then writes taxable, tax and free-goods values of the buckets,
// `sc_importo` and `tot_doc`, and posts once more. Detta is left past its last line.
// Raises ConversionError for a line whose quantity, total or (free goods) rate is not
// a number, AppError for an amount too long for its column (nothing of the amounts is
// then stored), AppError "Importo troppo grande/piccolo per <column>: <text>" for a value
// read that lies far outside a business's range (AmountText; header inputs that are not
// numbers still count as 0) and, after storing everything, AppError "Aliquota IVA non riepilogata: %s"
// when a counted line with a non-zero total found no bucket.
void CalcolaTotali(TDiz &diz);
