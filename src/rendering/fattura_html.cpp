#include "rendering/fattura_html.h"

#include "rendering/agency_stylesheet.h"
#include "rendering/guarded_xml.h"
#include "receiving/signed_content.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libxml/tree.h>

#include <memory>

namespace Rendering {

namespace {

constexpr const char *FatturaNamespace = "http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2";

FatturaHtml refused(const QString &fileName, const QString &why)
{
    FatturaHtml out;
    out.error = QStringLiteral("Impossibile visualizzare il file %1: %2").arg(fileName, why);
    return out;
}

bool named(const xmlNode *node, const char *name)
{
    return node && node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar *>(name)) == 0;
}

const xmlNode *child(const xmlNode *parent, const char *name)
{
    for (const xmlNode *n = parent ? parent->children : nullptr; n; n = n->next)
        if (named(n, name))
            return n;
    return nullptr;
}

QString trimmedText(const xmlNode *node)
{
    if (!node)
        return {};
    std::unique_ptr<xmlChar, decltype(xmlFree)> content(xmlNodeGetContent(node), xmlFree);
    return content ? QString::fromUtf8(reinterpret_cast<const char *>(content.get())).trimmed() : QString();
}

// FormatoTrasmissione of the header; the root's "versione" when the header gives none.
QString transmissionFormat(const xmlNode *root)
{
    const xmlNode *transmission = child(child(root, "FatturaElettronicaHeader"), "DatiTrasmissione");
    const QString format = trimmedText(child(transmission, "FormatoTrasmissione"));
    if (!format.isEmpty())
        return format;
    std::unique_ptr<xmlChar, decltype(xmlFree)> version(xmlGetProp(root, reinterpret_cast<const xmlChar *>("versione")), xmlFree);
    return version ? QString::fromUtf8(reinterpret_cast<const char *>(version.get())).trimmed() : QString();
}

} // namespace

FatturaHtml renderFatturaData(const QByteArray &data, const QString &fileName)
{
    QByteArray xml = data;
    if (!Received::looksLikeXml(xml)) {
        Received::SignedContent content = Received::extractSignedContent(xml);
        if (!content.ok)
            return refused(fileName, content.error);
        xml = std::move(content.content);
    }
    const GuardedXml parsed = parseGuarded(xml);
    if (!parsed.doc)
        return refused(fileName, parsed.error);
    const xmlNode *root = xmlDocGetRootElement(parsed.doc.get());
    const bool fattura = named(root, "FatturaElettronica") && root->ns
        && xmlStrcmp(root->ns->href, reinterpret_cast<const xmlChar *>(FatturaNamespace)) == 0;
    if (!fattura)
        return refused(fileName, QStringLiteral("il file non e una fattura elettronica FatturaPA"));

    FatturaHtml out;
    out.format = transmissionFormat(root);
    const Transformed html = transform(parsed.doc.get(), out.format);
    if (!html.ok)
        return refused(fileName, html.error);
    out.html = html.html;
    out.ok = true;
    return out;
}

FatturaHtml renderFatturaFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return refused(shown, QStringLiteral("file non trovato"));
    if (!info.isFile())
        return refused(shown, QStringLiteral("non e un file"));
    if (info.size() > MaxFatturaFileSize)
        return refused(shown, QStringLiteral("file troppo grande (%1 byte)").arg(info.size()));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(shown, QStringLiteral("file non leggibile (%1)").arg(file.errorString()));
    const QByteArray data = file.read(MaxFatturaFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return refused(shown, QStringLiteral("file non leggibile (%1)").arg(file.errorString()));
    if (data.size() > MaxFatturaFileSize)
        return refused(shown, QStringLiteral("file troppo grande"));
    return renderFatturaData(data, shown);
}

} // namespace Rendering
