#pragma once
// Small helpers over a libxml2 tree of a FatturaPA file (or of a message of the exchange
// system): elements by local name (the FatturaPA elements below the root carry no
// namespace), their text, their path and their value as an exact decimal.
#include "data/decimal.h"

#include <QString>
#include <optional>
#include <vector>

typedef struct _xmlNode xmlNode;

namespace XmlNodes {

// True when `node` is an element named `name`.
bool isElementNamed(const xmlNode *node, const char *name);
// The first element child of `parent` named `name`, or nullptr (also for a null parent).
xmlNode *child(const xmlNode *parent, const char *name);
// Follows a chain of names ("DatiBeniServizi/DettaglioLinee" written as {"DatiBeniServizi", "DettaglioLinee"}).
xmlNode *descendant(const xmlNode *parent, std::initializer_list<const char *> names);
// Every element child of `parent` named `name`, in document order.
std::vector<xmlNode *> children(const xmlNode *parent, const char *name);

// The trimmed text of an element; empty for a null element.
QString text(const xmlNode *node);
// The text of the child `name` of `parent`.
QString childText(const xmlNode *parent, const char *name);
// The text of the element at the end of a chain of names (see descendant).
QString descendantText(const xmlNode *parent, std::initializer_list<const char *> names);
// The element's path in the document ("/p:FatturaElettronica/FatturaElettronicaBody/...").
QString path(const xmlNode *node);
// The decimal value of an element's text (plain form with '.'); nullopt when absent or unreadable.
std::optional<Decimal> number(const xmlNode *node);

} // namespace XmlNodes
