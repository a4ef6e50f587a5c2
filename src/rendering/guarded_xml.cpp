#include "guarded_xml.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <mutex>

namespace Rendering {

namespace {

// What the refusing handlers note in the parser's private slot.
struct Guard {
    bool doctype = false;
};

// Called when "<!DOCTYPE name ...>" has been read, before its internal subset: the
// parse stops there, so no entity of the file is ever declared.
void refuseDoctype(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
{
    auto *ctxt = static_cast<xmlParserCtxtPtr>(context);
    static_cast<Guard *>(ctxt->_private)->doctype = true;
    xmlStopParser(ctxt);
}

// Never reached once a declaration stops the parse; refuses every external entity anyway.
xmlParserInputPtr refuseEntity(void *, const xmlChar *, const xmlChar *) { return nullptr; }

void initParser()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

} // namespace

void XmlDocFree::operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }

GuardedXml parseGuarded(const QByteArray &xml)
{
    initParser();
    GuardedXml out;
    if (xml.size() > INT_MAX) {
        out.error = QStringLiteral("il file e troppo grande");
        return out;
    }
    std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> ctxt(
        xmlCreateMemoryParserCtxt(xml.constData(), int(xml.size())), &xmlFreeParserCtxt);
    if (!ctxt) {
        out.error = QStringLiteral("il file e vuoto o non leggibile come XML");
        return out;
    }
    // No entity substitution, no DTD loading or validation, no network, no messages.
    xmlCtxtUseOptions(ctxt.get(), XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA);
    Guard guard;
    ctxt->_private = &guard;
    ctxt->sax->internalSubset = refuseDoctype;
    ctxt->sax->externalSubset = nullptr;
    ctxt->sax->resolveEntity = refuseEntity;

    xmlParseDocument(ctxt.get());
    XmlDocPtr doc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
    if (guard.doctype) {
        out.error = QStringLiteral("il file contiene una dichiarazione DOCTYPE, non ammessa in una fattura elettronica");
        return out;
    }
    if (!ctxt->wellFormed || !doc) {
        const xmlError *e = xmlCtxtGetLastError(ctxt.get());
        out.error = e && e->message
            ? QStringLiteral("il file non e un XML ben formato (riga %1: %2)").arg(e->line).arg(QString::fromUtf8(e->message).trimmed())
            : QStringLiteral("il file non e un XML ben formato");
        return out;
    }
    out.doc = std::move(doc);
    return out;
}

} // namespace Rendering
