#include "fatturapa/foreign_postcode.h"

#include "fatturapa/latin1_text.h"
#include "fatturapa/xml_forms.h"

namespace {

const QString ForeignCap = QStringLiteral("00000");
// The longest Indirizzo the schema takes.
constexpr qsizetype AddressWidth = 60;

bool isFiveDigits(const QString &cap)
{
    if (cap.size() != 5)
        return false;
    for (const QChar c : cap)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

BuyerAddress writtenBuyerAddress(const BuyerAddress &stored, const QString &nazione)
{
    if (XmlForms::trimmed(nazione) == QLatin1String("IT") || isFiveDigits(stored.cap))
        return stored;
    BuyerAddress written{stored.indirizzo, ForeignCap};
    const QString postcode = XmlForms::trimmed(stored.cap);
    if (!postcode.isEmpty()) {
        const QString withPostcode = XmlForms::trimmed(stored.indirizzo) + QLatin1Char(' ') + postcode;
        // Counted as the file holds it: characters beyond Latin-1 in plain form.
        if (latin1Text(withPostcode).size() <= AddressWidth)
            written.indirizzo = withPostcode;
    }
    return written;
}
