#pragma once
// The price columns of an imported goods line, stored as a typed line stores them: the
// unit price before discounts, one discount (or surcharge) percentage, the discount
// amount of the line and the line total, such that the line's file meets the exchange
// system's rule on line totals (total = unit price after the discount x quantity, within
// one cent). When no discount stored that way meets it, the line gets the net price and
// no discount columns.
#include <QString>

struct ImportedLinePrice {
    QString prezzoUnit;
    QString scTipo;     // "SC" or "MG"; empty: the line has no discount columns
    QString scPerc;
    QString scImporto;
    QString prezzoTot;
};

// The source values of one management line.
struct ImportedLineSource {
    QString quantita;        // the quantity as stored on the imported line
    double grossPrice = 0;   // pr_lordo
    double discounts[3] = {0, 0, 0};  // sc_1, sc_2, sc_3, cascaded, in percent
    double netPrice = 0;     // calculated Netto
    double netAmount = 0;    // calculated Imp_Netto, the line total
};

// The columns to store, in their text forms. The line total is Imp_Netto with
// "######0.000"; prices take "######0.000", or four decimals when three do not meet the
// rule. Several discounts give their combined percentage. Raises AppError "Importo troppo
// grande per <column>: <text>" for a source value too large to be formatted.
ImportedLinePrice importedLinePrice(const ImportedLineSource &source);
