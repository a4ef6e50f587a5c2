#pragma once
// The amount of one invoice line, worked out while the user types it in the line
// editor: the discount (or surcharge) amount and the line total from the quantity,
// the gross unit price and the percentage. The editor hands over the texts of its six
// controls, the functions rewrite them in place, and the editor shows them again.
#include <QString>

class Messages;

// The texts of the line editor's amount controls.
struct LineAmountTexts {
    QString quantita;    // Edit2, quantity
    QString prezzoUnit;  // Edit7, gross unit price
    QString scTipo;      // cb1: the selected item ("SC" discount, "MG" surcharge); empty when none is selected
    QString scPerc;      // Edit8, percentage (rewritten)
    QString scImporto;   // Edit9, discount amount (written)
    QString prezzoTot;   // Edit10, line total (written)
};

// Works out the discount amount and the line total from the texts as they stand.
// Inputs that do not read as numbers count as 0. Without a discount type the
// percentage and the discount amount are emptied and the total is quantity × price.
// An input written as a number far outside a business's range (AmountText: 10^15 and
// more, or so small that it would count as 0) and a result whose text does not fit its
// 12-character column show "Errore" and leave the fields as written so far; nothing
// reaches the general error report.
void CalcolaRiga(LineAmountTexts &line, Messages &messages);

// Field exits: tidy the field that was left, then run CalcolaRiga. A number out of the
// range is left as typed (CalcolaRiga then shows "Errore").
void Edit2Exit(LineAmountTexts &line, Messages &messages);  // quantity: "#####0.00", else "0,00"
void Edit7Exit(LineAmountTexts &line, Messages &messages);  // gross price: "#####0.000", else "0,000"
void Edit8Exit(LineAmountTexts &line, Messages &messages);  // percentage: "#####0.00", else empty
void cb1Exit(LineAmountTexts &line, Messages &messages);    // any of the editor's lists: nothing to tidy
