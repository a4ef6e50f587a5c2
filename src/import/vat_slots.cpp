#include "import/vat_slots.h"

#include <cstddef>

std::array<VatSlot, 4> pickVatSlots(const std::array<VatGroup, 5> &groups)
{
    std::array<VatSlot, 4> slots{};
    for (std::size_t s = 0; s < slots.size(); ++s) {
        for (std::size_t g = s; g < groups.size(); ++g) {
            const VatGroup &group = groups[g];
            if (!(group.vat > 0))
                continue;
            const float rate = float(group.rate);
            bool distinct = true;
            for (std::size_t before = 0; before < s; ++before)
                distinct = distinct && rate != slots[before].rate;
            if (!distinct)
                continue;
            slots[s] = {float(group.taxable), float(group.vat), rate};
            break;
        }
    }
    return slots;
}
