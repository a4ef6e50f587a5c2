#pragma once
// The schema of the exchange system's messages (MessaggiTypes_v1.1.xsd and the signature
// schema it imports), compiled once per process and shared by every reading.
#include <QString>
#include <QStringList>

typedef struct _xmlDoc xmlDoc;

namespace SdiMessageSchema {

inline constexpr const char *FileName = "MessaggiTypes_v1.1.xsd";

// The folder holding the schema. Without one set, the first of these that holds it:
// <program folder>/schema/fatturapa, <program folder>/../schema/fatturapa, the project's
// schema/fatturapa compiled in.
QString folder();
void setFolder(const QString &folder);

// The validator's complaints about a parsed document; empty when it is valid. A schema that
// cannot be read or compiled is a complaint too.
QStringList validate(xmlDoc *doc);

} // namespace SdiMessageSchema
