#pragma once
// One run of an XML writer on the current invoice of the data module.
#include "fatturapa/xml_format.h"

#include <QString>
#include <functional>

class TDiz;

// A pending change of the header is stored first. Then, in one transaction with the
// invoice's header locked, the header row, the lines and the linked documents are read
// again as stored (an invoice deleted meanwhile raises InvoiceLock::deletedMessage()); an
// invoice whose stored totals are not those its stored lines give is refused with
// StoredTotals::mismatchMessage() (nothing written, `nome_file` untouched).
// In this order: progressive and header values read (a failure here changes nothing);
// `nome_file` stored and posted; the file created in the company's folder (`path`
// trimmed, followed directly by the name), written and put in place. A run that fails
// leaves no partial or temporary file, keeps an earlier file of the name, and leaves
// `nome_file` as it was before the run (a failed post of the name leaves no pending change).
void writeFatturaXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format);

// The file of an invoice the caller has just made and stored inside its own open
// transaction, which holds the invoice's header row locked, and that diz.Testata (current
// row), diz.Detta, diz.ContrattoT and diz.ContrattoD hold as stored, its totals computed in
// that transaction from its stored lines (CalcolaTotaliNewInvoice): nothing is read or
// checked again. The file is made in memory; it is then created, written, pushed to the
// disk and put in place on another thread while `nome_file` is stored (in the caller's
// transaction) and `meanwhile` runs here (work of the caller's that needs neither).
// Returns the file's path once it is in place. A failure leaves `nome_file` as it was and
// no file; the caller's commit makes the name permanent.
QString writeNewInvoiceXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format,
                           const std::function<void()> &meanwhile = {});
