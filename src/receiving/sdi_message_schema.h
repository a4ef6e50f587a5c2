#pragma once
// The schema of the exchange system's messages (MessaggiTypes_v1.1.xsd and the signature
// schema it imports), compiled once per process and shared by every reading.
#include "checks/compiled_schema.h"

#include <QStringList>

typedef struct _xmlDoc xmlDoc;

namespace SdiMessageSchema {

// The schema file: its folder (see CompiledSchema::folder) and its compilation.
CompiledSchema &file();

// The validator's complaints about a parsed document; empty when it is valid. A schema that
// cannot be read or compiled is a complaint too.
QStringList validate(xmlDoc *doc);

} // namespace SdiMessageSchema
