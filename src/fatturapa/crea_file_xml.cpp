#include "fatturapa/crea_file_xml.h"

#include "fatturapa/xml_writer_run.h"

void CreaFileXml(TDiz &diz, const QString &workspaceCaption)
{
    writeFatturaXml(diz, workspaceCaption, XmlFormat::FPR12);
}
