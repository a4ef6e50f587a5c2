#pragma once
// The FatturaPA schema 1.2.3, compiled once per process and shared by every check
// (a compiled schema is read only while documents are validated against it).
#include "checks/compiled_schema.h"
#include "checks/presend_check.h"

#include <vector>

typedef struct _xmlDoc xmlDoc;

namespace FatturaPaSchema {

// The schema file Schema_VFPA12_V1.2.3.local.xsd: its folder (see setPresendSchemaFolder)
// and its compilation.
CompiledSchema &file();

// Why the schema of its folder cannot be used (not found, unreadable, not compilable);
// empty when it can.
QString problem();

// Validates a parsed document; every complaint of the validator becomes a problem with the
// exchange system's format code 00200, at most 50 of them and then one 00201. A schema that
// cannot be read or compiled is a problem too, with code "schema" (nothing can pass).
std::vector<PresendProblem> validate(xmlDoc *doc);

} // namespace FatturaPaSchema
