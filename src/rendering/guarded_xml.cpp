#include "rendering/guarded_xml.h"

#include <libxml/parser.h>

#include <climits>

namespace Rendering {

GuardedXml parseGuarded(const QByteArray &xml)
{
    GuardedXml out;
    if (xml.size() > INT_MAX) {
        out.error = QStringLiteral("il file e troppo grande");
        return out;
    }
    if (xml.isEmpty()) {
        out.error = QStringLiteral("il file e vuoto o non leggibile come XML");
        return out;
    }
    DoctypeFreeXml parsed = parseDoctypeFreeXml(xml, QByteArray(), XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA);
    if (parsed.hadDoctype) {
        out.error = QStringLiteral("il file contiene una dichiarazione DOCTYPE, non ammessa in una fattura elettronica");
        return out;
    }
    if (!parsed.doc) {
        out.error = parsed.errorMessage.isEmpty()
            ? QStringLiteral("il file non e un XML ben formato")
            : QStringLiteral("il file non e un XML ben formato (riga %1: %2)").arg(parsed.errorLine).arg(parsed.errorMessage);
        return out;
    }
    out.doc = std::move(parsed.doc);
    return out;
}

} // namespace Rendering
