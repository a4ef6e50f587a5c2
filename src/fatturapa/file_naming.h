#pragma once
// The transmission progressive of an invoice and the name of its XML file.
#include <QString>

// Keys above 19998 restart from 1 (the key less 19998, once). The number is written with
// at least four digits and preceded by "0" when the workspace caption is exactly "A",
// by "P" otherwise: key 7 gives 00007 or P0007, key 19998 gives 019998 or P19998.
QString progressivoInvio(int idInvio, const QString &workspaceCaption);

// "IT" + the company's VAT number as stored + "_" + progressive (the name without ".xml").
QString xmlBaseName(const QString &companyVatNumber, const QString &progressive);
