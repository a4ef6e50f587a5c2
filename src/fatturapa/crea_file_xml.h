#pragma once
// The FatturaPA file of the current invoice for a private customer (format FPR12).
#include <QString>

class TDiz;

// Acts on the current rows of diz.AziendaT and diz.Testata, the invoice's lines (Detta)
// and linked-document groups (ContrattoT, ContrattoD). The workspace caption selects the
// prefix of the transmission progressive. Refuses an invoice whose stored totals are not
// those its stored lines give (StoredTotals::mismatchMessage(): recompute them first).
// Stores `nome_file`, then writes the file into the company's folder. Errors are raised
// as AppError / ConversionError.
void CreaFileXml(TDiz &diz, const QString &workspaceCaption);
