#pragma once
// The checks the exchange system applies to a file that the schema accepts, each reported
// with the exchange system's own error code (refusals) or, for the formal checks of tax
// codes, with the code it would give later (warnings):
//   00400/00401 line nature present exactly when the line's rate is zero (received files:
//               a reverse-charge nature N6 only with a rate above zero)
//   00403       document date after the day of the check
//   00411/00415 withholding block missing while a line / a pension fund contribution is withheld
//   00413/00414 pension fund contribution's nature present exactly when its rate is zero
//   00417       buyer with neither VAT number nor fiscal code
//   00418       document date before the date of an invoice it corrects (DatiFattureCollegate)
//   00419       a rate used by a line or a contribution without its VAT summary
//   00420       reverse-charge nature with split payment in a summary
//   00421       summary tax different from taxable x rate / 100 by more than one cent
//   00422       summary taxable per rate different from the lines' totals plus contributions plus
//               rounding by more than one euro
//   00423       line total different from (unit price +/- discounts) x quantity by more than one cent
//   00424       a rate written as a fraction (0.22) instead of a percentage
//   00425       document number without a digit
//   00427       recipient code of 6 characters with FPR12 or of 7 with FPA12
//   00428       transmission format different from the root's version attribute
//   00429/00430 the nature rule of 00400/00401 on every VAT summary
//   00437/00438 discount or surcharge type without percentage or amount (document / line)
//   00443       a summary rate that no line and no contribution uses
//   00444       natures of lines and contributions and of summaries not matching
//   00445       generic nature N2, N3 or N6, not accepted from 1 January 2021
//   00471-00473 document types that bind seller and buyer
//   00474       self-invoice for exceeding the ceiling (TD21) with a zero-rate summary
//   00301/00305/00306, "controllo formale": VAT numbers and fiscal codes (warnings)
#include "checks/check_options.h"
#include "checks/presend_check.h"

#include <vector>

typedef struct _xmlDoc xmlDoc;

std::vector<PresendProblem> exchangeSystemChecks(xmlDoc *doc, const CheckOptions &options = {});
