#include "fatturapa/xml_writer_run.h"

#include "data/columns.h"
#include "data/db_own_change.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "fatturapa/fattura_body.h"
#include "fatturapa/fattura_header.h"
#include "fatturapa/file_naming.h"
#include "fatturapa/xml_buffer.h"
#include "fatturapa/xml_file.h"
#include "fatturapa/xml_forms.h"
#include "invoice/invoice_lock.h"
#include "invoice/stored_totals.h"

#include <QFile>
#include <functional>
#include <future>

namespace {

const QString FileNameColumn = col::testata::nome_file;

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

// The file is made of what is stored: in one transaction, with the invoice's header
// locked (no desk recomputes or renumbers the invoice meanwhile), the header row, its
// lines and linked documents are read again, in one consistent read. A file carries the
// stored totals, so they must be those the stored lines give: an invoice whose totals
// were left behind (changed on the server outside the program, a recompute that never
// ran) is refused before anything is written. The check share-locks the lines, so the
// lines read next are the ones it compared.
void readStoredInvoice(TDiz &diz)
{
    const QVariant id = diz.Testata.value(col::testata::id_invio);
    if (id.isNull())
        return;  // a new header not stored yet: nothing to read back
    InvoiceLock::lock(diz.xml_conn, id);
    StoredTotals::requireMatch(diz.xml_conn, id);
    diz.Testata.rereadCurrent();
    for (DbTable *t : {&diz.Detta, &diz.ContrattoT, &diz.ContrattoD})
        t->refresh();
}

QString fileNameOf(const FatturaHeader &header)
{
    return xmlBaseName(header.company.pIva, header.progressive) + QStringLiteral(".xml");
}

// The file's place: the company's folder, trimmed, directly followed by the name (no
// separator is inserted: the folder is expected to end with one).
QString pathOf(TDiz &diz, const QString &fileName)
{
    return XmlForms::trimmed(diz.AziendaT.text(col::azienda::path)) + fileName;
}

// Stores the name, writes the file and puts it in place; `transaction` is the unit of work
// that stores the name, committed before the file goes in place. A failure leaves the name
// as it was and no file.
void writeFileOf(TDiz &diz, const FatturaHeader &header, XmlFormat format, DbTransaction &transaction)
{
    const QString fileName = fileNameOf(header);

    // Stored before the file is opened.
    const QVariant earlier = diz.Testata.value(FileNameColumn);
    storeFileName(diz.Testata, fileName);

    try {
        XmlFile file(pathOf(diz, fileName));
        writeFatturaHeader(file, header, format);
        writeFatturaBody(file, diz, header, format);
        // The name is stored for good only when the whole file is written; the file is put
        // in place once the name is stored.
        transaction.commit();
        file.commit();
    } catch (...) {
        restoreFileName(diz.Testata, earlier);
        throw;
    }
}

} // namespace

void writeFatturaXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format)
{
    // The user's pending header changes are stored first, outside the run: a failed run
    // does not take them away.
    diz.Testata.checkBrowseMode();
    DbTransaction transaction(diz.xml_conn, {&diz.Testata, &diz.Detta, &diz.ContrattoT, &diz.ContrattoD});
    readStoredInvoice(diz);
    // The seller's data, its folder and bank account too, as stored now: another desk may
    // have changed them since this desk read them.
    diz.AziendaT.rereadCurrent();
    writeFileOf(diz, readFatturaHeader(diz, workspaceCaption, format), format, transaction);
}

QString writeNewInvoiceXml(TDiz &diz, const QString &workspaceCaption, XmlFormat format,
                           const std::function<void()> &meanwhile)
{
    // The exchange system has never answered an invoice made in the caller's transaction:
    // its file takes the usual progressive.
    const QString progressive = progressivoInvio(diz.Testata.asInteger(col::testata::id_invio), workspaceCaption);
    const FatturaHeader header = readFatturaHeaderWith(diz, progressive, format);
    const QString fileName = fileNameOf(header);
    const QString path = pathOf(diz, fileName);

    // The whole file is made here from what the tables hold; creating it, pushing it to
    // the disk and putting it in place run beside the storing of its name.
    XmlBuffer content;
    writeFatturaHeader(content, header, format);
    writeFatturaBody(content, diz, header, format);
    std::future<void> placed = std::async(std::launch::async, [path, bytes = content.bytes()] {
        XmlFile file(path);
        file.writeEncoded(bytes);
        file.commit();
    });

    const QVariant earlier = diz.Testata.value(FileNameColumn);
    try {
        storeFileName(diz.Testata, fileName);
    } catch (...) {
        // The name is not stored: neither is its file left in place.
        try {
            placed.get();
            QFile::remove(path);
        } catch (...) {
        }
        throw;
    }
    if (meanwhile)
        meanwhile();
    try {
        placed.get();
    } catch (...) {
        restoreFileName(diz.Testata, earlier);
        throw;
    }
    return path;
}
