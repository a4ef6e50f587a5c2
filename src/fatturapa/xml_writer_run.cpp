#include "xml_writer_run.h"

#include "db_own_change.h"
#include "diz.h"
#include "fattura_body.h"
#include "fattura_header.h"
#include "file_naming.h"
#include "xml_file.h"
#include "xml_forms.h"

namespace {

const QString FileNameColumn = QStringLiteral("nome_file");

// Stores the file name on the invoice row. A row the user is editing is posted with the
// user's changes, as before; when the post fails, the writer takes back its own change:
// a row it put into editing leaves editing, a row the user was editing keeps the user's
// changes and its earlier file name, so that no later move stores a name never written.
void storeFileName(DbTable &invoice, const QString &fileName)
{
    DbOwnChange change(invoice);
    invoice.edit();
    invoice.setText(FileNameColumn, fileName);
    change.post();
}

// After a failed run: the row names the file it named before, since no new file was put
// in place. Never raises; the failure of the run is what the user is told.
void restoreFileName(DbTable &invoice, const QVariant &earlier)
{
    try {
        const bool unchanged = earlier.isNull() ? invoice.isNull(FileNameColumn)
                                                : !invoice.isNull(FileNameColumn) && invoice.text(FileNameColumn) == earlier.toString();
        if (unchanged)
            return;
        DbOwnChange change(invoice);
        invoice.edit();
        invoice.setValue(FileNameColumn, earlier);
        change.post();
    } catch (...) {
        // The guard has already taken back the pending change.
    }
}

} // namespace

void writeFatturaXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format)
{
    const FatturaHeader header = readFatturaHeader(diz, workspaceCaption, format);
    const QString fileName = xmlBaseName(header.company.pIva, header.progressive) + QStringLiteral(".xml");

    // Stored before the file is opened.
    const QVariant earlier = diz.Testata.value(FileNameColumn);
    storeFileName(diz.Testata, fileName);

    try {
        // No separator is inserted: the folder is expected to end with one.
        XmlFile file(XmlForms::trimmed(diz.AziendaT.text(QStringLiteral("path"))) + fileName);
        writeFatturaHeader(file, header, format);
        writeFatturaBody(file, diz, header, format);
        file.commit();
    } catch (...) {
        restoreFileName(diz.Testata, earlier);
        throw;
    }
}
