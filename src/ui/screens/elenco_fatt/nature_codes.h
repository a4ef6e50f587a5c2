#pragma once
// The VAT exemption natures offered by the nature lists of the line and header editors:
// the generic codes of each list, followed by the subcodes that the exchange system has
// required since 2021 in place of N2, N3 and N6 (the generic ones are kept for values
// already stored).
#include <QStringList>

namespace NatureCodes {

// "N1" up to and including `lastGeneric` ("N5" or "N6"), then the subcodes.
QStringList list(int lastGeneric);

// N2.1, N2.2, N3.1 to N3.6, N6.1 to N6.9, N7.
QStringList subcodes();

} // namespace NatureCodes
