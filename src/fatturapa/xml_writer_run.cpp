#include "xml_writer_run.h"

#include "diz.h"
#include "fattura_body.h"
#include "fattura_header.h"
#include "file_naming.h"
#include "xml_file.h"
#include "xml_forms.h"

void writeFatturaXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format)
{
    const FatturaHeader header = readFatturaHeader(diz, workspaceCaption, format);
    const QString fileName = xmlBaseName(header.company.pIva, header.progressive) + QStringLiteral(".xml");

    // Stored before the file is opened.
    diz.Testata.edit();
    diz.Testata.setText(QStringLiteral("nome_file"), fileName);
    diz.Testata.post();

    // No separator is inserted: the folder is expected to end with one.
    XmlFile file(XmlForms::trimmed(diz.AziendaT.text(QStringLiteral("path"))) + fileName);
    writeFatturaHeader(file, header, format);
    writeFatturaBody(file, diz, header, format);
    file.commit();
}
