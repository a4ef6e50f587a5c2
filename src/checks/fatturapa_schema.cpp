#include "checks/fatturapa_schema.h"

#include "checks/compiled_schema.h"
#include "fatturapa/xml_nodes.h"

#include <libxml/xmlschemas.h>

namespace FatturaPaSchema {

namespace {

constexpr const char *FileName = "Schema_VFPA12_V1.2.3.local.xsd";

struct Collector {
    std::vector<PresendProblem> problems;
    bool overflow = false;
};

// Beyond this many format errors the exchange system stops listing them (00201).
constexpr size_t MaxFormatErrors = 50;

void collectProblem(void *userData, xmlErrorPtr error)
{
    auto *collector = static_cast<Collector *>(userData);
    if (!error)
        return;
    if (collector->problems.size() >= MaxFormatErrors) {
        collector->overflow = true;
        return;
    }
    PresendProblem p;
    p.code = QStringLiteral("00200");
    const auto *node = static_cast<const xmlNode *>(error->node);
    p.element = node ? XmlNodes::path(node) : QString();
    p.detail = QString::fromUtf8(error->message ? error->message : "").trimmed();
    if (error->line > 0)
        p.detail += QStringLiteral(" (riga %1)").arg(error->line);
    collector->problems.push_back(p);
}

} // namespace

CompiledSchema &file()
{
    static CompiledSchema schema(FileName, QStringLiteral("schema FatturaPA"));
    return schema;
}

QString problem()
{
    const CompiledSchema::Compiled compiled = file().compiled();
    return compiled.schema ? QString() : compiled.error;
}

std::vector<PresendProblem> validate(xmlDoc *doc)
{
    const CompiledSchema::Compiled compiled = file().compiled();
    if (!compiled.schema)
        return {{QStringLiteral("schema"), QString(), compiled.error}};
    Collector collector;
    xmlSchemaValidCtxtPtr ctxt = xmlSchemaNewValidCtxt(compiled.schema.get());
    if (!ctxt)
        return {{QStringLiteral("00200"), QString(), QStringLiteral("memoria insufficiente per la validazione")}};
    xmlSchemaSetValidStructuredErrors(ctxt, collectProblem, &collector);
    const int rc = xmlSchemaValidateDoc(ctxt, doc);
    xmlSchemaFreeValidCtxt(ctxt);
    if (rc != 0 && collector.problems.empty())
        collector.problems.push_back({QStringLiteral("00200"), QString(),
                                      QStringLiteral("il file non è conforme allo schema FatturaPA 1.2.3")});
    if (collector.overflow)
        collector.problems.push_back({QStringLiteral("00201"), QString(),
                                      QStringLiteral("oltre %1 errori di formato: i controlli si fermano qui").arg(MaxFormatErrors)});
    return collector.problems;
}

} // namespace FatturaPaSchema
