#include "codifica_xml.h"

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
    return replaceEach(text, codificaReference);
}

QString escapeMarkup(const QString &text)
{
    return replaceEach(text, markupReference);
}
