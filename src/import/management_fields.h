#pragma once
// The calculated fields of the management database's datasets: document totals on
// Test_Fatt and net prices and amounts on Dett_Fatt, in 64-bit floating point.
#include <QStringList>

class DbRecord;
class TDiz;

// Declares the six calculated fields of Test_Fatt and the four of Dett_Fatt, installs
// their handlers and the columns each dataset requires of the server. Datasets open at
// the time are closed (calculated fields take effect when a dataset opens). Running it
// again on the same data module changes nothing.
void installManagementFields(TDiz &diz);

// Imp_Merce, Iva_Merce, sconto, Imp_Totale, Iva_Totale, totale of one document.
void Test_FattCalcFields(DbRecord &document);
// Netto, Imp_Netto, pr_ivato, imp_ivato of one document line.
void Dett_FattCalcFields(DbRecord &line);

// The columns of the management database's testata and dettag that the import relies on: every
// column of the catalogue's col::norva26 tables.
const QStringList &managementDocumentColumns();
const QStringList &managementLineColumns();
