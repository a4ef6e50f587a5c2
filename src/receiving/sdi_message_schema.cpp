#include "sdi_message_schema.h"

#include "compiled_schema.h"

#include <libxml/xmlschemas.h>

namespace SdiMessageSchema {

namespace {

CompiledSchema &schemaFile()
{
    static CompiledSchema schema(FileName, QStringLiteral("schema dei messaggi SDI"));
    return schema;
}

} // namespace

QString folder() { return schemaFile().folder(); }

void setFolder(const QString &dir) { schemaFile().setFolder(dir); }

QStringList validate(xmlDoc *doc)
{
    const CompiledSchema::Compiled compiled = schemaFile().compiled();
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
