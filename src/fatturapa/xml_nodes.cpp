#include "fatturapa/xml_nodes.h"

#include <libxml/tree.h>

#include <cstring>

namespace XmlNodes {

bool isElementNamed(const xmlNode *n, const char *name)
{
    return n->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char *>(n->name), name) == 0;
}

xmlNode *child(const xmlNode *parent, const char *name)
{
    if (!parent)
        return nullptr;
    for (xmlNode *n = parent->children; n; n = n->next)
        if (isElementNamed(n, name))
            return n;
    return nullptr;
}

xmlNode *descendant(const xmlNode *parent, std::initializer_list<const char *> names)
{
    const xmlNode *at = parent;
    for (const char *name : names) {
        at = child(at, name);
        if (!at)
            return nullptr;
    }
    return const_cast<xmlNode *>(at);
}

std::vector<xmlNode *> children(const xmlNode *parent, const char *name)
{
    std::vector<xmlNode *> found;
    if (!parent)
        return found;
    for (xmlNode *n = parent->children; n; n = n->next)
        if (isElementNamed(n, name))
            found.push_back(n);
    return found;
}

QString text(const xmlNode *node)
{
    if (!node)
        return {};
    xmlChar *content = xmlNodeGetContent(node);
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(content)).trimmed();
    xmlFree(content);
    return value;
}

QString childText(const xmlNode *parent, const char *name)
{
    return text(child(parent, name));
}

QString descendantText(const xmlNode *parent, std::initializer_list<const char *> names)
{
    return text(descendant(parent, names));
}

QString path(const xmlNode *node)
{
    if (!node)
        return {};
    xmlChar *p = xmlGetNodePath(node);
    const QString value = QString::fromUtf8(reinterpret_cast<const char *>(p));
    xmlFree(p);
    return value;
}

std::optional<Decimal> number(const xmlNode *node)
{
    if (!node)
        return std::nullopt;
    const QByteArray bytes = text(node).toLatin1();
    if (bytes.isEmpty())
        return std::nullopt;
    bool ok = false;
    const Decimal value = Decimal::fromPlain(std::string_view(bytes.constData(), size_t(bytes.size())), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace XmlNodes
