#include "crea_file_xml.h"

#include "xml_writer_run.h"

void CreaFileXml(TDiz &diz, const QString &workspaceCaption)
{
    writeFatturaXml(diz, workspaceCaption, XmlFormat::FPR12);
}
