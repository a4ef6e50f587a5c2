#pragma once
// The buyer's postcode in the file. The schema takes a CAP of exactly five digits; a buyer
// abroad often has another form (8001 in Zurich, SW1A 1AA in London). Such a buyer's CAP
// is written as 00000, the value used for foreign addresses, and the real postcode goes
// into the street address after the street, when the address then still fits its 60
// characters.
#include <QString>

struct BuyerAddress {
    QString indirizzo;  // street address, as stored
    QString cap;        // postcode, as stored
};

// The address to write for a buyer of country `nazione` (as stored; IT is Italy).
// Unchanged for an Italian buyer and for a postcode of five digits.
BuyerAddress writtenBuyerAddress(const BuyerAddress &stored, const QString &nazione);
