#include "checks/line_total_rule.h"

namespace LineTotalRule {

namespace {

const Decimal OneCent = Decimal::fromPlain("0.01");
const Decimal Hundred = 100;
// Intermediate quotients keep this many decimals; far below the tolerance compared.
constexpr int WorkScale = 10;

} // namespace

Decimal expectedTotal(const Decimal &unitPrice, const std::vector<Adjustment> &adjustments, const Decimal &quantity)
{
    Decimal price = unitPrice;
    for (const Adjustment &a : adjustments) {
        const Decimal sign = a.surcharge ? 1 : -1;
        if (a.percent)
            price += sign * (price * *a.percent).divided(Hundred, WorkScale);
        else if (a.amount)
            price += sign * *a.amount;
    }
    return price * quantity;
}

bool isMet(const Decimal &total, const Decimal &expected)
{
    return (total - expected).abs() <= OneCent;
}

} // namespace LineTotalRule
