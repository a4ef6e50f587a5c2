#pragma once
// One run of an XML writer on the current invoice of the data module.
#include "xml_format.h"

#include <QString>

class TDiz;

// In this order: progressive and header values read (a failure here changes nothing);
// `nome_file` stored and posted; the file created in the company's folder (`path`
// trimmed, followed directly by the name) and written; the file put in place. A failure
// after `nome_file` is stored leaves no partial file and keeps an earlier file of the name.
void writeFatturaXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format);
