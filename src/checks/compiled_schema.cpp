#include "checks/compiled_schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <libxml/parser.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlschemas.h>

namespace {

xmlParserInputPtr noNetworkLoader(const char *url, const char *id, xmlParserCtxtPtr ctxt)
{
    return xmlNoNetExternalEntityLoader(url, id, ctxt);
}

} // namespace

CompiledSchema::CompiledSchema(const char *fileName, QString label) : m_fileName(fileName), m_label(std::move(label)) {}

void CompiledSchema::collectMessage(void *messages, xmlErrorPtr error)
{
    if (error && error->message)
        *static_cast<QStringList *>(messages) << QString::fromUtf8(error->message).trimmed();
}

QString CompiledSchema::lookedUpFolder() const
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
        if (QFileInfo::exists(QDir(dir).filePath(QLatin1String(m_fileName))))
            return QDir::cleanPath(dir);
    return candidates.isEmpty() ? QString() : QDir::cleanPath(candidates.last());
}

CompiledSchema::Compiled CompiledSchema::compile(const QString &dir) const
{
    Compiled result;
    const QString file = QDir(dir).filePath(QLatin1String(m_fileName));
    if (!QFileInfo::exists(file)) {
        result.error = QStringLiteral("%1 non trovato: %2").arg(m_label, file);
        return result;
    }
    xmlSetExternalEntityLoader(noNetworkLoader);
    QStringList messages;
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(QFile::encodeName(file).constData());
    if (!parser) {
        result.error = QStringLiteral("%1 non leggibile: %2").arg(m_label, file);
        return result;
    }
    xmlSchemaSetParserStructuredErrors(parser, collectMessage, &messages);
    xmlSchema *schema = xmlSchemaParse(parser);
    xmlSchemaFreeParserCtxt(parser);
    if (!schema) {
        result.error = QStringLiteral("%1 non compilabile (%2): %3").arg(m_label, file, messages.join(QStringLiteral("; ")));
        return result;
    }
    result.schema = std::shared_ptr<xmlSchema>(schema, xmlSchemaFree);
    return result;
}

QString CompiledSchema::folder() const
{
    std::lock_guard lock(m_mutex);
    return m_folder.isEmpty() ? lookedUpFolder() : m_folder;
}

void CompiledSchema::setFolder(const QString &dir)
{
    std::lock_guard lock(m_mutex);
    m_folder = dir.isEmpty() ? QString() : QDir::cleanPath(QDir(dir).absolutePath());
}

CompiledSchema::Compiled CompiledSchema::compiled() const
{
    std::lock_guard lock(m_mutex);
    const QString dir = m_folder.isEmpty() ? lookedUpFolder() : m_folder;
    auto it = m_compiled.find(dir);
    if (it == m_compiled.end())
        it = m_compiled.emplace(dir, compile(dir)).first;
    return it->second;
}
