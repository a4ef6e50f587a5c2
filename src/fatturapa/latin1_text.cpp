#include "fatturapa/latin1_text.h"

namespace {

struct Replacement {
    char32_t first, last;  // a range of code points
    const char *plain;
};

// The one table of replacements.
constexpr Replacement Replacements[] = {
    {0x00A0, 0x00A0, " "},    // no-break space
    {0x2000, 0x200A, " "},    // en quad ... hair space
    {0x202F, 0x202F, " "},    // narrow no-break space
    {0x205F, 0x205F, " "},    // medium mathematical space
    {0x3000, 0x3000, " "},    // ideographic space
    {0x2010, 0x2015, "-"},    // hyphen, non-breaking hyphen, figure dash, en dash, em dash, horizontal bar
    {0x2212, 0x2212, "-"},    // minus sign
    {0x2018, 0x201B, "'"},    // left and right single quotes, low and reversed single quotes
    {0x2032, 0x2032, "'"},    // prime
    {0x201C, 0x201F, "\""},   // left and right double quotes, low and reversed double quotes
    {0x2033, 0x2033, "\""},   // double prime
    {0x2026, 0x2026, "..."},  // horizontal ellipsis
    {0x20AC, 0x20AC, "EUR"},  // euro sign
};

} // namespace

const char *latin1Replacement(char32_t c)
{
    for (const Replacement &r : Replacements)
        if (c >= r.first && c <= r.last)
            return r.plain;
    return nullptr;
}

QString latin1Text(const QString &text)
{
    bool plain = true;
    for (const QChar c : text)
        if (c.unicode() >= 0xA0) {
            plain = false;
            break;
        }
    if (plain)
        return text;

    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (c <= 0xFF && c != 0xA0)
            out += QChar(char16_t(c));
        else if (const char *replacement = latin1Replacement(c))
            out += QLatin1String(replacement);
        // any other character beyond Latin-1 is left out
    }
    return out;
}
