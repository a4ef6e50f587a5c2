#include "checks/doctype_free_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <malloc.h>

#include <mutex>

namespace {

// Larger documents leave enough freed memory behind to be worth handing back.
constexpr qint64 TrimAfterBytes = 256 * 1024;

struct ParserCtxtFree {
    void operator()(xmlParserCtxt *c) const { xmlFreeParserCtxt(c); }
};

void stopAtDoctype(void *userData, const xmlChar *, const xmlChar *, const xmlChar *)
{
    auto *ctxt = static_cast<xmlParserCtxtPtr>(userData);
    *static_cast<bool *>(ctxt->_private) = true;
    xmlStopParser(ctxt);
}

void initParser()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

} // namespace

void XmlDocFree::operator()(xmlDoc *d) const { xmlFreeDoc(d); }

QString doctypeRefusal()
{
    return QStringLiteral("il file contiene una dichiarazione DOCTYPE (DTD o entità), che una fattura elettronica "
                          "non può contenere: il file non viene letto");
}

DoctypeFreeXml parseDoctypeFreeXml(const QByteArray &bytes, const QByteArray &url, int options)
{
    initParser();
    DoctypeFreeXml result;
    std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
    if (!ctxt)
        return result;
    ctxt->_private = &result.hadDoctype;
    ctxt->sax->internalSubset = stopAtDoctype;
    ctxt->sax->externalSubset = stopAtDoctype;
    options &= ~(XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE | XML_PARSE_HUGE);
    xmlDoc *doc = xmlCtxtReadMemory(ctxt.get(), bytes.constData(), int(bytes.size()), url.isEmpty() ? nullptr : url.constData(),
                                    nullptr, options | XML_PARSE_NONET);
    if (result.hadDoctype) {
        if (doc)
            xmlFreeDoc(doc);
        return result;
    }
    result.doc.reset(doc);
    if (!doc) {
        const xmlError *e = xmlCtxtGetLastError(ctxt.get());
        if (e && e->message) {
            result.errorLine = e->line;
            result.errorMessage = QString::fromUtf8(e->message).trimmed();
        }
    }
    return result;
}

void releaseParserMemory(qint64 documentBytes)
{
    if (documentBytes >= TrimAfterBytes)
        malloc_trim(0);
}
