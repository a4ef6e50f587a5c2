#pragma once
// The checks the exchange system applies to a file that the schema accepts, each
// reported with the exchange system's own error code:
//   00400/00401 line nature present exactly when the line's rate is zero
//   00429/00430 the same rule on every VAT summary
//   00411 withholding block missing while a line is subject to withholding ("SI")
//   00417 buyer with neither VAT number nor fiscal code
//   00419 a rate used by a line or a pension fund contribution without its VAT summary
//   00421 summary tax different from taxable x rate / 100 by more than one cent
//   00422 summary taxable per rate different from the lines' totals plus rounding by more than one euro
//   00423 line total different from (unit price +/- discounts) x quantity by more than one cent
//   00427 recipient code of 6 characters with FPR12 or of 7 with FPA12
//   00445 generic nature N2, N3 or N6, no longer accepted
#include "presend_check.h"

#include <vector>

typedef struct _xmlDoc xmlDoc;

std::vector<PresendProblem> exchangeSystemChecks(xmlDoc *doc);
