#pragma once
// Shared by the print tests: the scratch database of the data-module fixture, a data
// module opened per test on the rows it stores, a company row, invoices and purchase
// invoices with their lines, and the rendered PDF read back with poppler's pdftotext
// (text per page) and pdftoppm (page images).
#include "data_module_fixture.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class PrintFixture : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    std::unique_ptr<TDiz> diz;
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        clearTables({"azienda", "testata", "dettaglio", "test_car", "dett_car"});
    }

    static QVariantMap company()
    {
        return {{"rag_soc", "Norva Forniture S.r.l."},
                {"indirizzo", "Via Roma 12"},
                {"cap", "35100"},
                {"comune", "Padova"},
                {"prov", "PD"},
                {"p_iva", "01234567890"},
                {"cod_fis", "01234567890"},
                {"telefono", "049 1234567"},
                {"mail", "info@norva.it"}};
    }

    static QVariantMap invoiceHeader()
    {
        return {{"rag_soc", "Bianchi Mario"},
                {"indirizzo", "Corso Italia 5"},
                {"cap", "20100"},
                {"comune", "Milano"},
                {"prov", "MI"},
                {"p_iva", "09876543210"},
                {"data_doc", "05/03/2026"},
                {"num_doc", "42"},
                {"tipo_doc", "TD01"},
                {"aliquota", "22"},
                {"imponibile", "400,00"},
                {"imposta", "88,00"},
                {"tot_doc", "488,00"},
                {"colli", "3"}};
    }

    // Stores an invoice with `lines` numbered lines ("Articolo 01" ...); returns its id_invio.
    int storeInvoice(int lines, const QVariantMap &header = invoiceHeader())
    {
        const int id = db->insert(QStringLiteral("testata"), header);
        for (int i = 1; i <= lines; ++i)
            db->insert(QStringLiteral("dettaglio"), {{"id_invio", id},
                                                     {"prog", i},
                                                     {"codice_val", QStringLiteral("C%1").arg(i, 3, 10, QLatin1Char('0'))},
                                                     {"descrizione", QStringLiteral("Articolo %1").arg(i, 2, 10, QLatin1Char('0'))},
                                                     {"quantita", "1,00"},
                                                     {"prezzo_unit", "10,00"},
                                                     {"sc_perc", "0"},
                                                     {"prezzo_tot", "10,00"},
                                                     {"aliquota", "22"}});
        return id;
    }

    // Opens the data module with the invoice `id` current.
    void openOn(int id)
    {
        openData();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
    }

    void openData()
    {
        diz = std::make_unique<TDiz>();
        openDataModuleOn(*diz);
    }

    QString pdfPath(const QString &name = QStringLiteral("stampa.pdf")) const { return dir.filePath(name); }

    // The text of each page, laid out as on the page.
    static QStringList pdfPages(const QString &path)
    {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
        if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
            pages.removeLast();
        return pages;
    }

    // One page rendered at `dpi` as a grey image.
    QImage pdfImage(const QString &path, int page, int dpi) const
    {
        const QString prefix = dir.filePath(QStringLiteral("pagina"));
        QProcess p;
        p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(page),
                                             QStringLiteral("-l"), QString::number(page), QStringLiteral("-gray"),
                                             QStringLiteral("-png"), QStringLiteral("-singlefile"), path, prefix});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
    }
};
