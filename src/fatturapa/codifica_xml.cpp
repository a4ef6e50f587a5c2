#include "fatturapa/codifica_xml.h"

#include "fatturapa/latin1_text.h"

namespace {

// The reference of a character that CodificaXml replaces, or nullptr.
const char *codificaReference(QChar c)
{
    switch (c.unicode()) {
    case u'&': return "&#38;";
    case u'!': return "&#33;";
    case u'"': return "&#34;";
    case u'/': return "&#47;";
    case u'-': return "&#45;";
    case 0x00B0: return "&#176;"; // degree sign
    case u'@': return "&#64;";
    case u'+': return "&#43;";
    case u'<': return "&#60;";
    case u'>': return "&#62;";
    default: return nullptr;
    }
}

const char *markupReference(QChar c)
{
    switch (c.unicode()) {
    case u'&': return "&#38;";
    case u'<': return "&#60;";
    case u'>': return "&#62;";
    default: return nullptr;
    }
}

// One left-to-right pass: no inserted reference is looked at again.
template <typename Lookup>
QString replaceEach(const QString &text, Lookup lookup)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (const char *ref = lookup(c))
            out += QLatin1String(ref);
        else
            out += c;
    }
    return out;
}

} // namespace

QString CodificaXml(const QString &text)
{
    return replaceEach(latin1Text(text), codificaReference);
}

QString escapeMarkup(const QString &text)
{
    return replaceEach(latin1Text(text), markupReference);
}

QString xmlCharactersOnly(const QString &text)
{
    auto allowed = [](char32_t c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)
            || (c >= 0x10000 && c <= 0x10FFFF);
    };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (!c.isSurrogate() && allowed(c.unicode())) {
            out += c;
        }
    }
    return out;
}
