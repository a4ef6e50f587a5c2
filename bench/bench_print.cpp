// Printing figures: the issued invoice (QR1) rendered to a PDF file with 40 lines (two
// pages), with 1,000 and with 4,000 lines, median times, and the peak memory of each rendering next to
// the memory the print preview keeps for its pages.
//   bench_print [runs=30] [folder to keep the PDFs in]
#include "bench_support.h"
#include "data/diz.h"
#include "print/invoice_layout.h"
#include "print/invoice_report.h"
#include "print/pdf_output.h"
#include "print/purchase_report.h"
#include "print/report_preview.h"
#include "test_db.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Bench::resetPeak;
using Bench::statusKb;

int storeInvoice(ScratchDatabase &db, int lines)
{
    const int id = db.insert(QStringLiteral("testata"), {{"rag_soc", "Bianchi Mario"}, {"indirizzo", "Corso Italia 5"},
                                                         {"cap", "20100"}, {"comune", "Milano"}, {"prov", "MI"},
                                                         {"p_iva", "09876543210"}, {"data_doc", "05/03/2026"},
                                                         {"num_doc", QString::number(lines)}, {"tipo_doc", "TD01"},
                                                         {"aliquota", "22"}, {"imponibile", "400,00"}, {"imposta", "88,00"},
                                                         {"tot_doc", "488,00"}, {"colli", "3"}});
    QString sql;
    for (int i = 1; i <= lines; ++i)
        sql += QStringLiteral("%1(%2,%3,'C%3','Articolo numero %3 con descrizione di media lunghezza','1,00','10,00','0','10,00','22')")
                   .arg(i > 1 ? QStringLiteral(",") : QString())
                   .arg(id)
                   .arg(i);
    if (lines > 0)
        db.sql().exec(QStringLiteral("INSERT INTO dettaglio (id_invio,prog,codice_val,descrizione,quantita,prezzo_unit,"
                                     "sc_perc,prezzo_tot,aliquota) VALUES ") + sql);
    return id;
}

struct Figures {
    double medianMs;
    int pages;
    long peakGrowthKb;
};

Figures timePdf(TDiz &diz, int id, int runs, const QString &path)
{
    diz.Testata.locate(QStringLiteral("id_invio"), id);
    std::vector<double> ms;
    int pages = 0;
    long growth = 0;
    for (int r = 0; r < runs; ++r) {
        resetPeak();
        const long before = statusKb("VmRSS:");
        QElapsedTimer t;
        t.start();
        pages = Report::printInvoicePdf(diz, path);
        ms.push_back(t.nsecsElapsed() / 1e6);
        growth = std::max(growth, statusKb("VmHWM:") - before);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], pages, growth};
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    QTemporaryDir tmp;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
    QDir().mkpath(folder);

    ScratchDatabase db({QStringLiteral("xml_norva.sql")}, QStringLiteral("bench"));
    db.insert(QStringLiteral("azienda"), {{"rag_soc", "Norva Forniture S.r.l."}, {"indirizzo", "Via Roma 12"}, {"cap", "35100"},
                                          {"comune", "Padova"}, {"prov", "PD"}, {"p_iva", "01234567890"},
                                          {"cod_fis", "01234567890"}, {"telefono", "049 1234567"}, {"mail", "info@norva.it"}});
    const int small = storeInvoice(db, 40);
    const int large = storeInvoice(db, 1000);
    const int huge = storeInvoice(db, 4000);
    const int prot = db.insert(QStringLiteral("test_car"), {{"rag_soc", "Rossi Ingrosso S.p.A."}, {"indirizzo", "Via Garibaldi 8"},
                                                            {"cap", "10100"}, {"comune", "Torino"}, {"p_iva", "11122233344"},
                                                            {"cod_fis", "RSSNGR80A01L219X"}, {"data_doc", "15/02/2026"},
                                                            {"num_doc", "118"}, {"tipo_doc", "TD01"}, {"aliquota", "22"},
                                                            {"imponibile", "90,00"}, {"imposta", "19,80"}, {"spese", "5,00"},
                                                            {"sc_perc", "10"}, {"sc_importo", "10,00"}, {"tot_doc", "109,80"}});
    for (int i = 1; i <= 30; ++i)
        db.insert(QStringLiteral("dett_car"), {{"prot_car", prot}, {"prog", i}, {"codice_val", QStringLiteral("A%1").arg(i)},
                                               {"descrizione", QStringLiteral("Merce acquistata %1").arg(i)}, {"quantita", "2,00"},
                                               {"prezzo_unit", "4,50"}, {"sc_perc", "0"}, {"prezzo_tot", "9,00"}, {"aliquota", "22"}});

    TDiz diz;
    openDizOn(diz, db);
    // One rendering first, so that fonts are loaded before timing.
    diz.Testata.locate(QStringLiteral("id_invio"), small);
    Report::printInvoicePdf(diz, folder + QStringLiteral("/fattura_40_righe.pdf"));
    Report::printPurchasePdf(diz, folder + QStringLiteral("/fattura_acquisto.pdf"));

    const Figures f40 = timePdf(diz, small, runs, folder + QStringLiteral("/fattura_40_righe.pdf"));
    std::printf("QR1 40 lines to PDF:    %d pages, median %.1f ms over %d runs, peak memory growth %ld kB\n", f40.pages,
                f40.medianMs, runs, f40.peakGrowthKb);
    const Figures f1000 = timePdf(diz, large, std::max(1, runs / 6), folder + QStringLiteral("/fattura_1000_righe.pdf"));
    std::printf("QR1 1000 lines to PDF:  %d pages, median %.1f ms over %d runs, peak memory growth %ld kB\n", f1000.pages,
                f1000.medianMs, std::max(1, runs / 6), f1000.peakGrowthKb);

    // Four times the pages: what grows with them.
    const Figures f4000 = timePdf(diz, huge, 1, folder + QStringLiteral("/fattura_4000_righe.pdf"));
    std::printf("QR1 4000 lines to PDF:  %d pages, %.1f ms, peak memory growth %ld kB\n", f4000.pages, f4000.medianMs,
                f4000.peakGrowthKb);

    // The preview keeps every page it shows (a recorded picture per page).
    for (int id : {small, large}) {
        diz.Testata.locate(QStringLiteral("id_invio"), id);
        resetPeak();
        const long before = statusKb("VmRSS:");
        QElapsedTimer t;
        t.start();
        Report::InvoiceReport data(diz);
        Report::ReportPreview preview(Report::invoiceLayout(), data);
        preview.view()->updatePreview();
        const int pages = preview.pageCount();
        std::printf("QR1 preview %4d lines:  %d pages, %.1f ms, memory growth %ld kB (peak %ld kB)\n", data.rowCount(), pages,
                    t.nsecsElapsed() / 1e6, statusKb("VmRSS:") - before, statusKb("VmHWM:") - before);
    }
    std::printf("process peak memory: %ld kB\n", statusKb("VmHWM:"));
    return 0;
}
