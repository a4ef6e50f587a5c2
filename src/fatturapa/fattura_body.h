#pragma once
// The FatturaElettronicaBody of the current invoice and the closing tag of the root.
#include "fatturapa/fattura_header.h"

class TDiz;

// Walks the invoice's groups (diz.ContrattoT with their rows in diz.ContrattoD) and lines
// (diz.Detta), leaving them past their last rows; reads the VAT buckets and the payment
// columns of diz.Testata and the IBAN of diz.AziendaT when their lines are reached.
void writeFatturaBody(XmlLines &out, TDiz &diz, const FatturaHeader &header, XmlFormat format);
