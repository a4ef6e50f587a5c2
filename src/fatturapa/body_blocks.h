#pragma once
// The blocks of the invoice body, in file order.
#include "data/decimal.h"
#include "fatturapa/fattura_header.h"

class DbTable;
class TDiz;

// DatiGenerali: document data and linked-document groups.
void writeDatiGenerali(XmlLines &out, TDiz &diz, const FatturaHeader &header, XmlFormat format);
// "<DatiBeniServizi>" and one DettaglioLinee per line.
void writeDettaglioLinee(XmlLines &out, DbTable &lines);
// One DatiRiepilogo per VAT bucket written, then "</DatiBeniServizi>".
// Returns the sum of the stored taxable amounts of the buckets written (free goods left out).
Decimal writeDatiRiepilogo(XmlLines &out, const DbTable &invoice, XmlFormat format);
// DatiPagamento: by bank transfer only, in the instalments asked for (FPR12).
void writeDatiPagamento(XmlLines &out, const DbTable &invoice, const DbTable &company, const FatturaHeader &header);
// DatiPagamento of a public administration: one bank transfer of the taxable total.
void writeDatiPagamentoPA(XmlLines &out, const DbTable &company, const FatturaHeader &header, const Decimal &taxableTotal);
