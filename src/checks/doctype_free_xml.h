#pragma once
// Parsing of an XML file that comes from outside (an invoice, a message of the exchange
// system): neither ever carries a document type declaration, and one is where entity tricks
// live (entities that expand to megabytes, external entities naming files of this machine).
// The parser is stopped at the declaration, before any of it is read; no entity is ever
// substituted, no DTD loaded and nothing fetched from the network. Every parsing of such a
// file in the program goes through here.
#include <QByteArray>
#include <QString>
#include <memory>

typedef struct _xmlDoc xmlDoc;

struct XmlDocFree {
    void operator()(xmlDoc *d) const;
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

// The largest invoice file the exchange system accepts (5 MB).
inline constexpr qint64 MaxInvoiceFileBytes = 5 * 1024 * 1024;

// The refusal of a file with a document type declaration.
QString doctypeRefusal();

struct DoctypeFreeXml {
    XmlDocPtr doc;            // null when not well-formed or refused
    bool hadDoctype = false;  // the file declares a document type: refused
    int errorLine = 0;        // when not well-formed: the parser's line and message, if it gave one
    QString errorMessage;
};

// Parses `bytes` with libxml2 `options` (XML_PARSE_NONET is always added; entities are
// never substituted). `url` names the document in the parser's messages.
DoctypeFreeXml parseDoctypeFreeXml(const QByteArray &bytes, const QByteArray &url, int options);

// Gives the memory of a large document back to the system once it is no longer needed.
void releaseParserMemory(qint64 documentBytes);
