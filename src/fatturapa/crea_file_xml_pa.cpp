#include "fatturapa/crea_file_xml_pa.h"

#include "fatturapa/xml_writer_run.h"

void CreaFileXmlPA(TDiz &diz, const QString &workspaceCaption)
{
    writeFatturaXml(diz, workspaceCaption, XmlFormat::FPA12);
}
