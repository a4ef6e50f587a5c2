#include "ui/screens/elenco_fatt/nature_codes.h"

namespace NatureCodes {

QStringList subcodes()
{
    QStringList codes;
    const struct {
        int generic;
        int count;
    } groups[] = {{2, 2}, {3, 6}, {6, 9}};
    for (const auto &g : groups)
        for (int i = 1; i <= g.count; ++i)
            codes << QStringLiteral("N%1.%2").arg(g.generic).arg(i);
    codes << QStringLiteral("N7");
    return codes;
}

QStringList list(int lastGeneric)
{
    QStringList codes;
    for (int n = 1; n <= lastGeneric; ++n)
        codes << QStringLiteral("N%1").arg(n);
    return codes + subcodes();
}

} // namespace NatureCodes
