#include "sdi_message_schema.h"

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

namespace SdiMessageSchema {

namespace {

std::mutex g_mutex;
QString g_folder;  // set by the program; empty: looked for

struct Compiled {
    std::shared_ptr<xmlSchema> schema;
    QString error;
};
std::map<QString, Compiled> g_compiled;

bool holdsSchema(const QString &dir) { return !dir.isEmpty() && QFileInfo::exists(QDir(dir).filePath(QLatin1String(FileName))); }

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

void collectMessage(void *userData, xmlErrorPtr error)
{
    auto *messages = static_cast<QStringList *>(userData);
    if (error && error->message)
        *messages << QString::fromUtf8(error->message).trimmed();
}

// The schema's own import is a local file; nothing is ever fetched from the network.
xmlParserInputPtr noNetworkLoader(const char *url, const char *id, xmlParserCtxtPtr ctxt)
{
    return xmlNoNetExternalEntityLoader(url, id, ctxt);
}

Compiled compile(const QString &dir)
{
    Compiled result;
    const QString file = QDir(dir).filePath(QLatin1String(FileName));
    if (!QFileInfo::exists(file)) {
        result.error = QStringLiteral("schema dei messaggi SDI non trovato: %1").arg(file);
        return result;
    }
    xmlSetExternalEntityLoader(noNetworkLoader);
    QStringList messages;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(QFile::encodeName(file).constData());
    if (!parser) {
        result.error = QStringLiteral("schema dei messaggi SDI non leggibile: %1").arg(file);
        return result;
    }
    xmlSchemaSetParserStructuredErrors(parser, collectMessage, &messages);
    xmlSchema *schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) {
        result.error = QStringLiteral("schema dei messaggi SDI non compilabile (%1): %2").arg(file, messages.join(QStringLiteral("; ")));
        return result;
    }
    result.schema = std::shared_ptr<xmlSchema>(schema, xmlSchemaFree);
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

QStringList validate(xmlDoc *doc)
{
    const Compiled compiled = compiledSchema();
    if (!compiled.schema)
        return {compiled.error};
    QStringList complaints;
    xmlSchemaValidCtxtPtr ctxt = xmlSchemaNewValidCtxt(compiled.schema.get());
    if (!ctxt)
        return {QStringLiteral("memoria insufficiente per la validazione")};
    xmlSchemaSetValidStructuredErrors(ctxt, collectMessage, &complaints);
    const int rc = xmlSchemaValidateDoc(ctxt, doc);
    xmlSchemaFreeValidCtxt(ctxt);
    if (rc != 0 && complaints.isEmpty())
        complaints << QStringLiteral("il messaggio non è conforme allo schema MessaggiTypes 1.1");
    return complaints;
}

} // namespace SdiMessageSchema
