#pragma once
// The exchange system's rule on a line total (its error 00423): the total must equal the
// unit price, adjusted by each discount or surcharge in turn, times the quantity, within
// one cent. A percentage applies to the price as it stands after the previous ones, an
// amount is per unit. Shared by the check of a file and by whoever must store a line
// that will pass it.
#include "data/decimal.h"

#include <optional>
#include <vector>

namespace LineTotalRule {

struct Adjustment {
    bool surcharge = false;          // "MG"; otherwise a discount ("SC")
    std::optional<Decimal> percent;  // used when present
    std::optional<Decimal> amount;   // per unit, used when there is no percentage
};

// (unitPrice +/- each adjustment in turn) x quantity. An adjustment with neither a
// percentage nor an amount changes nothing.
Decimal expectedTotal(const Decimal &unitPrice, const std::vector<Adjustment> &adjustments, const Decimal &quantity);
// Whether `total` is within the tolerance of one cent of `expected`.
bool isMet(const Decimal &total, const Decimal &expected);

} // namespace LineTotalRule
