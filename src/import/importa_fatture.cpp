#include "import/importa_fatture.h"

#include "data/app_error.h"
#include "invoice/calcola_totali.h"
#include "data/columns.h"
#include "data/db_insert_batch.h"
#include "data/db_quiet_walk.h"
#include "data/db_transaction.h"
#include "data/diz.h"
#include "import/imported_document.h"
#include "import/imported_header.h"
#include "import/imported_lines.h"
#include "import/imported_numbers.h"
#include "import/import_run_lock.h"
#include "import/management_fields.h"
#include "data/messages.h"
#include "data/text_forms.h"
#include "fatturapa/xml_writer_run.h"
#include "fatturapa/xml_forms.h"

#include <QFile>
#include <exception>

namespace {

const QString ImportYear = QStringLiteral("2026");
constexpr int NumDocWidth = 10;  // testata.num_doc

// A number that does not fit num_doc would be stored cut and never be found again, and
// its document would come over a second time: stop before writing anything of it.
void checkNumberFits(const DbTable &testFatt, const ImportedDocument &doc)
{
    if (doc.identity.number.size() <= NumDocWidth)
        return;
    throw AppError(QStringLiteral("Documento %1 n. %2 del %3 (protocollo %4): il numero \"%5\" supera i %6 caratteri "
                                  "del numero documento. Importazione interrotta.")
                       .arg(doc.reg, testFatt.text(col::norva26::testata::num_doc), testFatt.text(col::norva26::testata::data))
                       .arg(doc.protocollo)
                       .arg(doc.identity.number)
                       .arg(NumDocWidth));
}

// Moves the source to its next document (which reads that document's lines), once.
class SourceCursor {
public:
    explicit SourceCursor(DbTable &documents) : m_documents(documents) {}
    // Never raises: a failure to read the next document is kept for rethrow().
    void advance() noexcept
    {
        if (m_advanced)
            return;
        m_advanced = true;
        try {
            m_documents.next();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }
    void rethrow() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    DbTable &m_documents;
    bool m_advanced = false;
    std::exception_ptr m_failure;
};

// Brings over the document on which diz.Test_Fatt stands, unless it is dated after the
// limit or is already there. The source may be moved on to its next document while this
// one's file is being written (`next`).
void importDocument(TDiz &diz, ImportedNumbers &imported, const ImportRunLock &lock, const QString &limitDateText,
                    const QString &workspaceCaption, SourceCursor &next)
{
    const QDate limit = TextForms::readDate(limitDateText);
    const QVariant date = diz.Test_Fatt.value(col::norva26::testata::data);
    if (date.isValid() && date.toDate() > limit)
        return;

    const ImportedDocument doc = readImportedDocument(diz.Test_Fatt, workspaceCaption);
    checkNumberFits(diz.Test_Fatt, doc);
    if (imported.contains(doc.identity.number, doc.identity.type))
        return;  // an imported invoice is never updated by a later import

    std::exception_ptr fileFailure;
    {
        // Header, lines and totals are one unit: a failure anywhere before the commit (a
        // refused amount, a lost connection, totals that cannot be formed) leaves nothing
        // of the document, and a later run brings it over whole; a document that is
        // already there is always complete.
        // On a rollback the lines are dropped and re-read before the header: re-reading
        // the header first would move Detta's master, and moving it posts a pending line.
        DbTransaction tx(diz.xml_conn, {&diz.Detta, &diz.Testata});
        lock.checkStillHeld();
        // The list read at the start may be old by now: the server is asked again, and
        // the number stays locked until this document is committed.
        if (ImportedNumbers::storedNow(diz.xml_conn, doc.identity.number, doc.identity.type)) {
            tx.commit();  // nothing was written; the tables need no re-read
            imported.add(doc.identity.number, doc.identity.type);
            return;
        }
        const int idInvio = appendImportedHeader(diz.Testata, diz.Test_Fatt, doc);
        {
            // The document's lines reach the server together, in one statement instead of
            // one per line.
            DbInsertBatch lines(diz.xml_conn, diz.Detta.tableName());
            importLines(diz, doc, idInvio);
            lines.flush();
        }
        // The header and lines exist in this transaction alone: the totals are computed
        // from them as stored without a savepoint of their own, and the posted header then
        // holds them as stored.
        CalcolaTotaliNewInvoice(diz);
        // The file's name is stored with the document (one commit for both), and the file
        // is put in place before that commit. A file that cannot be written leaves the
        // name as it was (the writer takes it back): the invoice is still stored complete,
        // without `nome_file`, and the run stops with the file's error.
        QString writtenFile;
        try {
            // A public administration's document goes out in its own format: an FPR12 file
            // with a six-character recipient code is one the exchange system refuses.
            // The invoice was made in this transaction and the tables hold it as stored:
            // the writer reads nothing again. While the file goes to the disk, the next
            // source document and its lines are read (another connection): they do not
            // depend on this document, and a failure there is told after its commit.
            writtenFile = writeNewInvoiceXml(diz, workspaceCaption,
                                             doc.publicAdministration() ? XmlFormat::FPA12 : XmlFormat::FPR12,
                                             [&next] { next.advance(); });
        } catch (...) {
            // A lost connection takes the transaction with it: the commit says so.
            fileFailure = std::current_exception();
        }
        try {
            tx.commit();
        } catch (...) {
            // Nothing of the document is stored: neither is its file left behind.
            if (!writtenFile.isEmpty())
                QFile::remove(writtenFile);
            throw;
        }
    }
    imported.add(doc.identity.number, doc.identity.type);
    if (fileFailure)
        std::rethrow_exception(fileFailure);
    next.rethrow();
}

} // namespace

QString importSelectionSql(const QString &database, const QString &year)
{
    return QStringLiteral("SELECT * from ") + database + QStringLiteral(".testata where anno=") + year
        + QStringLiteral(" and (reg_doc=\"FV\" or reg_doc=\"NC\" or reg_doc=\"NI\" or reg_doc=\"FD\" or reg_doc=\"FI\") "
                         "order by protocollo");
}

void ImportaFatture(TDiz &diz, Messages &messages, const QString &limitDateText, const QString &workspaceCaption,
                    const ImportProgress &progress)
{
    if (!messages.confirm(QStringLiteral("Confermi importazione Fatture: ?")))
        return;

    // Held until the run ends; a second desk is told and nothing is read or written.
    ImportRunLock lock(diz.xml_conn);
    if (!lock.acquired()) {
        messages.inform(ImportRunLock::busyMessage());
        return;
    }
    // Every file of the run carries the seller's data as stored now, not as this desk last
    // read them (another desk may have changed them).
    diz.AziendaT.rereadCurrent();
    installManagementFields(diz);
    diz.Dati.open();  // connects on first use, and again after a lost connection
    diz.Test_Fatt.close();
    diz.Test_Fatt.setSql(QString());
    diz.Test_Fatt.setSql(importSelectionSql(diz.Dati.database(), ImportYear));
    diz.Test_Fatt.open();
    DbQuietWalk walk(diz.Test_Fatt);
    diz.Test_Fatt.first();
    diz.Dett_Fatt.open();

    ImportedNumbers imported(diz.xml_conn);
    const int total = diz.Test_Fatt.rowCount();
    for (int done = 0; !diz.Test_Fatt.eof(); ++done) {
        if (progress && !progress(done, total))
            return;
        SourceCursor next(diz.Test_Fatt);
        importDocument(diz, imported, lock, limitDateText, workspaceCaption, next);
        next.advance();
        next.rethrow();
    }
    if (progress)
        progress(total, total);
}
