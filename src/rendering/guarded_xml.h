#pragma once
// Parsing a FatturaPA file that comes from outside for display: the program's DOCTYPE-free
// parsing, with the parser printing nothing, and an Italian reason when the file is refused.
#include "checks/doctype_free_xml.h"

#include <QByteArray>
#include <QString>

namespace Rendering {

struct GuardedXml {
    XmlDocPtr doc;  // empty when refused
    QString error;  // Italian, when refused
};

GuardedXml parseGuarded(const QByteArray &xml);

} // namespace Rendering
