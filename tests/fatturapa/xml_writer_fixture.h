#pragma once
// Shared set-up of the XML writer tests: the data-module fixture, a company whose folder
// is a fresh temporary directory for every test, and helpers that store invoices, lines
// and linked documents and read back the file that was written.
#include "data/app_error.h"
#include "invoice/calcola_totali.h"
#include "data_module_fixture.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

namespace XmlTest {

inline QString dataFile(const QString &name)
{
    return QStringLiteral(XN_TEST_DATA_DIR "/") + name;
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The lines of a file; every line, the last included, must end with CR LF.
inline QStringList linesOf(const QByteArray &bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.last().isEmpty()) << "the last line does not end with CR LF";
    lines.removeLast();
    return lines;
}

// Whether `sequence` occurs in `lines` as consecutive lines; an entry "..." stands for
// any number of lines, so that "a", "...", "b" means a line a and, later, a line b.
inline bool containsSequence(const QStringList &lines, const QStringList &sequence)
{
    qsizetype from = 0;
    QStringList run;
    auto findRun = [&]() {
        for (qsizetype i = from; i + run.size() <= lines.size(); ++i)
            if (lines.mid(i, run.size()) == run) {
                from = i + run.size();
                return true;
            }
        return false;
    };
    for (const QString &entry : sequence) {
        if (entry != QLatin1String("...")) {
            run << entry;
            continue;
        }
        if (!findRun())
            return false;
        run.clear();
    }
    return findRun();
}

// The validator's complaints about a file against the official schema; empty when valid.
inline QString schemaErrors(const QString &path)
{
    QProcess xmllint;
    xmllint.setProcessChannelMode(QProcess::MergedChannels);
    xmllint.start(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                                             QStringLiteral(XN_TEST_SCHEMA_DIR "/Schema_VFPA12_V1.2.3.local.xsd"), path});
    if (!xmllint.waitForFinished(60000))
        return QStringLiteral("xmllint did not run");
    const QString output = QString::fromUtf8(xmllint.readAll());
    return xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0 ? QString() : output;
}

} // namespace XmlTest

class XmlWriterTest : public DataModuleTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;
    std::unique_ptr<QTemporaryDir> dir;

    void SetUp() override
    {
        clearTables({"azienda", "testata", "dettaglio", "test_dati", "dati_acquisto"});
        dir = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir->isValid());
        setCompany();
    }

    // The company's folder, with its trailing separator.
    QString folder() const { return dir->path() + QLatin1Char('/'); }

    // A company whose data are valid for the schema.
    Columns companyColumns() const
    {
        return {{"rag_soc", "Alfa & Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"},
                {"reg_fisc", "RF02"}, {"indirizzo", "Via Roma, 10/A"}, {"cap", "00184"}, {"comune", "Roma"},
                {"prov", "RM"}, {"nazione", "IT"}, {"uff_rea", "RM"}, {"num_rea", "1234567"},
                {"capit_soc", "10000"}, {"soc_uni", "SM"}, {"stato_liq", "LN"}, {"mail", "info@alfabeta.it"},
                {"telefono", "0612345678"}, {"path", folder()}, {"iban", "IT60X0542811101000000123456"}};
    }

    // A private buyer and an ordinary invoice whose data are valid for the schema. Its totals
    // are those the totals computation gives for one line of lineColumns(): the writers
    // refuse an invoice whose stored totals are not those of its stored lines.
    static Columns invoiceColumns()
    {
        return {{"rag_soc", "Rossi Forniture S.p.A."}, {"indirizzo", "Corso Italia 5"}, {"comune", "Milano"},
                {"cap", "20122"}, {"prov", "MI"}, {"nazione", "IT"}, {"p_iva", "09876543210"}, {"cod_fis", ""},
                {"cod_dest", "ABC1234"}, {"pec", ""}, {"data_doc", "05/03/2026"}, {"num_doc", "12"},
                {"tot_doc", "122,00"}, {"tipo_doc", "TD01"}, {"tipo_pag", "TP02"}, {"mod_pag", "MP01"},
                {"n_rate", 0}, {"spese", "0,00"}, {"arrot", "0,00"}, {"spese2", "0,00"}, {"arrot2", "0,00"},
                {"spese3", "0,00"}, {"arrot3", "0,00"}, {"aliquota", "22"}, {"imponibile", "100,00"},
                {"imposta", "22,00"}, {"tot_omaggio", "0,00"}, {"sc_importo", "0,00"}, {"esig_iva", "I"}, {"esig_iva2", "I"}, {"esig_iva3", "I"},
                {"sc_tipo", ""}, {"sc_perc", ""}, {"natura", ""}, {"dest_soc", "Rossi Forniture"},
                {"dest_indir", "Via Po 3"}, {"dest_comune", "Monza"}};
    }

    // One ordinary line of 1 × 100,00 at 22 %.
    static Columns lineColumns()
    {
        return {{"descrizione", "Consulenza"}, {"quantita", "1,00"}, {"um", "NR"}, {"prezzo_unit", "100,000"},
                {"prezzo_tot", "100,000"}, {"aliquota", "22"}, {"sc_tipo", ""}, {"codice_tipo", ""},
                {"ritenuta", ""}, {"natura", ""}, {"rif_amm", ""}, {"categoria", ""}, {"lotto", ""}, {"origine", ""}};
    }

    void setCompany(const Columns &overrides = {}) { DataModuleTest::setCompany(merged(companyColumns(), overrides)); }

    // Stores an invoice and makes it the current one; returns its key.
    int addInvoice(const Columns &overrides = {})
    {
        const int id = insert(QStringLiteral("testata"), merged(invoiceColumns(), overrides));
        select(id);
        return id;
    }

    void addLine(int id, const Columns &overrides = {})
    {
        insert(QStringLiteral("dettaglio"), merged(lineColumns(), merged(overrides, {{"id_invio", id}})));
        select(id);
    }

    void addGroup(int id, const QString &kind, const QList<Columns> &rows)
    {
        insert(QStringLiteral("test_dati"), {{"id_invio", id}, {"tipo", kind}});
        for (const Columns &row : rows)
            insert(QStringLiteral("dati_acquisto"), merged(row, {{"id_invio", id}, {"tipo", kind}}));
        select(id);
    }

    // Re-reads the tables and makes the invoice current, with its own lines and groups.
    void select(int id)
    {
        diz->Testata.refresh();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
        diz->Detta.refresh();
        diz->ContrattoT.refresh();
        diz->ContrattoT.first();
        diz->ContrattoD.refresh();
    }

    // Stores the totals the program's own computation gives for the invoice's stored lines
    // and header inputs (what "Registra" stores), and makes the invoice current again.
    void storeTotals(int id)
    {
        select(id);
        CalcolaTotali(*diz);
        select(id);
    }

    QString storedFileName(int id)
    {
        const DbResult r = db->sql().select(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = ?"), {id});
        return r.rows.at(0).isNull(0) ? QStringLiteral("<NULL>") : QString::fromUtf8(r.rows.at(0).raw(0).toByteArray());
    }

    QString writtenPath(int id) { return folder() + storedFileName(id); }

    // Runs the writer on the invoice and returns the lines of its file.
    template <typename Writer>
    QStringList write(Writer writer, int id, const QString &caption = QStringLiteral("A"))
    {
        select(id);
        writer(*diz, caption);
        return XmlTest::linesOf(XmlTest::readFile(writtenPath(id)));
    }

    // The files present in the company's folder.
    QStringList filesInFolder() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden); }
};

// Runs `statement`, expecting it to raise an AppError (or subclass) with `message`.
#define EXPECT_APP_ERROR(statement, ErrorType, message)                                            \
    do {                                                                                           \
        try {                                                                                      \
            statement;                                                                             \
            ADD_FAILURE() << "no error raised";                                                    \
        } catch (const ErrorType &e) {                                                             \
            EXPECT_EQ(e.text(), QString(message));                                                 \
        }                                                                                          \
    } while (false)
