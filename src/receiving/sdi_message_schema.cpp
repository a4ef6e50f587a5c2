#include "receiving/sdi_message_schema.h"

#include "checks/compiled_schema.h"

#include <libxml/xmlschemas.h>

namespace SdiMessageSchema {

namespace {

constexpr const char *FileName = "MessaggiTypes_v1.1.xsd";

} // namespace

CompiledSchema &file()
{
    static CompiledSchema schema(FileName, QStringLiteral("schema dei messaggi SDI"));
    return schema;
}

QStringList validate(xmlDoc *doc)
{
    const CompiledSchema::Compiled compiled = file().compiled();
    if (!compiled.schema)
        return {compiled.error};
    QStringList complaints;
    xmlSchemaValidCtxtPtr ctxt = xmlSchemaNewValidCtxt(compiled.schema.get());
    if (!ctxt)
        return {QStringLiteral("memoria insufficiente per la validazione")};
    xmlSchemaSetValidStructuredErrors(ctxt, CompiledSchema::collectMessage, &complaints);
    const int rc = xmlSchemaValidateDoc(ctxt, doc);
    xmlSchemaFreeValidCtxt(ctxt);
    if (rc != 0 && complaints.isEmpty())
        complaints << QStringLiteral("il messaggio non è conforme allo schema MessaggiTypes 1.1");
    return complaints;
}

} // namespace SdiMessageSchema
