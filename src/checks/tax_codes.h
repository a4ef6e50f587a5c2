#pragma once
// Formal checks of Italian tax identifiers: the VAT number (partita IVA, 11 digits with a
// check digit) and the fiscal code (codice fiscale: the 11-digit number of a company or
// the 16-character code of a person, with its check character and the letters that
// replace digits in codes made unique by omocodia).
#include <QString>

namespace TaxCodes {

// Empty when `code` is a well-formed VAT number; otherwise why not, in Italian.
QString vatNumberFault(const QString &code);
// Empty when `code` is a well-formed fiscal code (11 digits or 16 characters).
QString fiscalCodeFault(const QString &code);

// The check digit of the first ten digits of a VAT number; -1 when they are not ten digits.
int vatCheckDigit(const QString &firstTen);
// The check character of the first fifteen characters of a personal fiscal code; '\0'
// when they are not fifteen letters and digits.
char fiscalCodeCheckCharacter(const QString &firstFifteen);

} // namespace TaxCodes
