#include "fatturapa_schema.h"

#include "xml_nodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemas.h>

#include <map>
#include <memory>
#include <mutex>

namespace FatturaPaSchema {

namespace {

std::mutex g_mutex;
QString g_folder;  // set by the program; empty: looked for

struct SchemaDeleter {
    void operator()(xmlSchema *s) const { xmlSchemaFree(s); }
};
using SchemaPtr = std::shared_ptr<xmlSchema>;

// Compiled schemas by folder; a failed compilation is remembered with its message.
struct Compiled {
    SchemaPtr schema;
    QString error;
};
std::map<QString, Compiled> g_compiled;

bool holdsSchema(const QString &dir)
{
    return !dir.isEmpty() && QFileInfo::exists(QDir(dir).filePath(QLatin1String(FileName)));
}

QString lookedUpFolder()
{
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QString programDir = QCoreApplication::applicationDirPath();
        candidates << programDir + QStringLiteral("/schema/fatturapa") << programDir + QStringLiteral("/../schema/fatturapa");
    }
#ifdef XN_FATTURAPA_SCHEMA_DIR
    candidates << QStringLiteral(XN_FATTURAPA_SCHEMA_DIR);
#endif
    for (const QString &dir : candidates)
        if (holdsSchema(dir))
            return QDir::cleanPath(dir);
    return candidates.isEmpty() ? QString() : QDir::cleanPath(candidates.last());
}

// Messages of the schema compiler, gathered instead of printed.
void collectMessage(void *userData, xmlErrorPtr error)
{
    auto *messages = static_cast<QStringList *>(userData);
    if (error && error->message)
        *messages << QString::fromUtf8(error->message).trimmed();
}

// No resource of the schema is ever fetched from the network.
xmlParserInputPtr noNetworkLoader(const char *url, const char *id, xmlParserCtxtPtr ctxt)
{
    return xmlNoNetExternalEntityLoader(url, id, ctxt);
}

Compiled compile(const QString &dir)
{
    Compiled result;
    const QString file = QDir(dir).filePath(QLatin1String(FileName));
    if (!QFileInfo::exists(file)) {
        result.error = QStringLiteral("schema FatturaPA non trovato: %1").arg(file);
        return result;
    }
    xmlSetExternalEntityLoader(noNetworkLoader);
    QStringList messages;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(QFile::encodeName(file).constData());
    if (!parser) {
        result.error = QStringLiteral("schema FatturaPA non leggibile: %1").arg(file);
        return result;
    }
    xmlSchemaSetParserStructuredErrors(parser, collectMessage, &messages);
    xmlSchema *schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) {
        result.error = QStringLiteral("schema FatturaPA non compilabile (%1): %2").arg(file, messages.join(QStringLiteral("; ")));
        return result;
    }
    result.schema = SchemaPtr(schema, SchemaDeleter());
    return result;
}

Compiled compiledSchema()
{
    std::lock_guard lock(g_mutex);
    const QString dir = g_folder.isEmpty() ? lookedUpFolder() : g_folder;
    auto it = g_compiled.find(dir);
    if (it == g_compiled.end())
        it = g_compiled.emplace(dir, compile(dir)).first;
    return it->second;
}

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

QString folder()
{
    std::lock_guard lock(g_mutex);
    return g_folder.isEmpty() ? lookedUpFolder() : g_folder;
}

void setFolder(const QString &dir)
{
    std::lock_guard lock(g_mutex);
    g_folder = dir.isEmpty() ? QString() : QDir::cleanPath(QDir(dir).absolutePath());
}

QString problem()
{
    const Compiled compiled = compiledSchema();
    return compiled.schema ? QString() : compiled.error;
}

std::vector<PresendProblem> validate(xmlDoc *doc)
{
    const Compiled compiled = compiledSchema();
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
