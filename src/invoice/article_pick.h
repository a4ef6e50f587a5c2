#pragma once
// The article pick: the current warehouse article appended as a new line of the current
// invoice, and the invoice's totals rebuilt.
#include <QString>

class TDiz;

// Saves a pending invoice header (also a new, unchanged one) and a changed pending line
// first (an unchanged one is dropped); an invoice list without a current invoice raises
// the table's "empty dataset" error before anything is written.
// Then, in one transaction with the invoice locked (InvoiceLock): a line numbered after
// the last stored line (1 when there is none or its number is NULL) takes the article's description, codes, unit,
// prices, discount and rate value for value (NULL as NULL) and the quantity "1"; the
// amount texts lose their thousands separators (see plainAmountText); the line is saved
// and CalcolaTotali rebuilds buckets, VAT and total. Any error rolls the whole pick back.
// The new line is the current line afterwards.
void PickArticle(TDiz &diz);

// An amount text in the plain form of invoice lines: a text that reads strictly as a
// number is returned as it is; one that reads only with the dot as thousands separator
// ("1.234,500") loses its dots ("1234,500", the same value); anything else is returned
// as it is.
QString plainAmountText(const QString &text);
