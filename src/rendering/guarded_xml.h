#pragma once
// Parsing a FatturaPA file that comes from outside: a document type declaration is
// refused as soon as it is met (before any entity it declares is read), no external
// entity or DTD is ever loaded, nothing is fetched from the network, and the parser
// prints nothing.
#include <QByteArray>
#include <QString>

#include <memory>

typedef struct _xmlDoc xmlDoc;

namespace Rendering {

struct XmlDocFree {
    void operator()(xmlDoc *doc) const;
};
using XmlDocPtr = std::unique_ptr<xmlDoc, XmlDocFree>;

struct GuardedXml {
    XmlDocPtr doc;  // empty when refused
    QString error;  // Italian, when refused
};

GuardedXml parseGuarded(const QByteArray &xml);

} // namespace Rendering
