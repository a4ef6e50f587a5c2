#pragma once
// Shared set-up of the import tests: the data-module fixture with a management database
// (the header defaults and the management calculated fields installed), a company whose
// folder is a fresh temporary directory for every test, a recording confirmation seam,
// and helpers that store source documents and lines and read back what the import wrote.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "import/importa_fatture.h"
#include "import/management_fields.h"
#include "management_rows.h"
#include "recorded_messages.h"
#include "invoice/testata_hooks.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <memory>

// One stored row: column -> text, NULL kept apart from empty text.
class StoredRow {
public:
    StoredRow() = default;
    StoredRow(const DbResult &result, const DbRow &row)
    {
        for (size_t i = 0; i < result.fields.size(); ++i)
            m_cells.insert(result.fields[i].name, row.isNull(int(i)) ? QVariant() : QVariant(QString::fromUtf8(row.raw(int(i)))));
    }
    QString operator[](const char *column) const
    {
        EXPECT_TRUE(m_cells.contains(QLatin1String(column))) << column;
        return m_cells.value(QLatin1String(column)).toString();
    }
    bool isNull(const char *column) const { return m_cells.value(QLatin1String(column)).isNull(); }
    int id() const { return (*this)["id_invio"].toInt(); }

private:
    QVariantMap m_cells;
};

class ImportTest : public DataModuleTest {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    RecordedMessages messages;
    int nextProtocollo = 1;

    static void SetUpTestSuite()
    {
        openDataModule({.management = true, .beforeOpen = [](TDiz &d) {
                            installTestataHooks(d);
                            installManagementFields(d);
                        }});
    }
    static void TearDownTestSuite() { closeDataModule(); }

    void SetUp() override
    {
        clearTables({"azienda", "testata", "dettaglio", "test_dati", "dati_acquisto"});
        clearManagementTables({"testata", "dettag"});
        dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/imp-XXXXXX"));
        ASSERT_TRUE(dir->isValid());
        insert(*xml, QStringLiteral("azienda"),
               {{"rag_soc", "Norva Alimentari S.r.l."}, {"p_iva", "03184520363"}, {"cod_fis", "03184520363"},
                {"reg_fisc", "RF01"}, {"indirizzo", "Via Emilia Ovest 112"}, {"cap", "41123"}, {"comune", "Modena"},
                {"prov", "MO"}, {"nazione", "IT"}, {"uff_rea", "MO"}, {"num_rea", "371542"},
                {"capit_soc", "20000,00"}, {"soc_uni", "SM"}, {"stato_liq", "LN"},
                {"mail", "amministrazione@norva.it"}, {"telefono", "059876432"}, {"path", folder()},
                {"iban", "IT60X0542811101000000123456"}});
        for (DbTable *t : diz->tables())
            t->refresh();
        diz->AziendaT.first();
        for (DbTable *t : {&diz->Test_Fatt, &diz->BolleT, &diz->Dett_Fatt})
            t->close();
    }

    // The company's folder, with its trailing separator.
    QString folder() const { return dir->path() + QLatin1Char('/'); }

    using DataModuleTest::insert;
    static int insert(ScratchDatabase &db, const QString &table, const Columns &columns)
    {
        return db.insert(table, columns);
    }

    // A 2026 invoice (register FV) of a domestic private buyer with 100 at 22 %, no
    // discounts or expenses; returns its protocollo.
    int addDocument(const Columns &overrides = {})
    {
        const int protocollo = overrides.contains(QStringLiteral("protocollo"))
            ? overrides.value(QStringLiteral("protocollo")).toInt()
            : nextProtocollo;
        nextProtocollo = std::max(nextProtocollo, protocollo) + 1;
        insert(*norva, QStringLiteral("testata"), merged(managementDocument(protocollo), overrides));
        return protocollo;
    }

    // A line of 2 × 50 at 22 % without discounts.
    void addLine(int protTesta, const Columns &overrides = {})
    {
        insert(*norva, QStringLiteral("dettag"), merged(managementLine(protTesta), overrides));
    }

    void runImport(const QString &caption = QStringLiteral("A"), const QString &limit = QStringLiteral("31/12/26"))
    {
        ImportaFatture(*diz, messages, limit, caption);
    }

    // The text of the error that stops the import (empty when it runs through).
    QString importError(const QString &caption = QStringLiteral("A"), const QString &limit = QStringLiteral("31/12/26"))
    {
        try {
            runImport(caption, limit);
        } catch (const AppError &e) {
            return e.text();
        }
        return QString();
    }

    static QList<StoredRow> rows(const QString &sql, const QVariantList &params = {})
    {
        const DbResult result = xml->sql().select(sql, params);
        QList<StoredRow> out;
        for (const DbRow &row : result.rows)
            out << StoredRow(result, row);
        return out;
    }
    static QList<StoredRow> headers() { return rows(QStringLiteral("SELECT * FROM testata ORDER BY id_invio")); }
    static StoredRow header(const QString &numDoc)
    {
        const QList<StoredRow> found = rows(QStringLiteral("SELECT * FROM testata WHERE num_doc = ?"), {numDoc});
        EXPECT_EQ(found.size(), 1) << numDoc.toStdString();
        return found.value(0);
    }
    static QList<StoredRow> linesOf(int idInvio)
    {
        return rows(QStringLiteral("SELECT * FROM dettaglio WHERE id_invio = ? ORDER BY prog"), {idInvio});
    }
    static QStringList numbers()
    {
        QStringList out;
        for (const StoredRow &h : headers())
            out << h["num_doc"];
        return out;
    }
    bool fileExists(const StoredRow &h) const { return !h["nome_file"].isEmpty() && QFile::exists(folder() + h["nome_file"]); }

    // The validator's complaints about the file of a header, against the schema the
    // program ships; empty when the file is valid.
    QString schemaErrors(const StoredRow &h) const
    {
        QProcess xmllint;
        xmllint.setProcessChannelMode(QProcess::MergedChannels);
        xmllint.start(QStringLiteral("xmllint"),
                      {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                       QStringLiteral(XN_TEST_SCHEMA_DIR "/Schema_VFPA12_V1.2.3.local.xsd"),
                       folder() + h["nome_file"]});
        if (!xmllint.waitForFinished(60000))
            return QStringLiteral("xmllint did not run");
        const QString output = QString::fromUtf8(xmllint.readAll());
        return xmllint.exitStatus() == QProcess::NormalExit && xmllint.exitCode() == 0 ? QString() : output;
    }
};
