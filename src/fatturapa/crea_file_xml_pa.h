#pragma once
// The FatturaPA file of the current invoice for a public administration (format FPA12):
// split-payment VAT and one bank-transfer payment of the taxable total.
#include <QString>

class TDiz;

// As CreaFileXml, with the same file name and folder (it replaces the FPR12 file).
void CreaFileXmlPA(TDiz &diz, const QString &workspaceCaption);
