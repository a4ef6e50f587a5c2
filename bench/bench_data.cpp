// Data module figures on a large electronic-invoice database: N invoices (every column
// filled) of 10 lines each, with grids bound to Testata and Detta as the workspace has
// them. Prints the time to open the ten tables, the median time of a move to another
// invoice (which re-reads its lines and linked documents), a re-read of testata, the
// longest block of the event loop while periodic re-reads run, the median time to store
// one changed header, CalcolaTotali on an invoice of 100 lines, and the peak memory.
//   bench_data [invoices=50000]
#include "bench_support.h"
#include "invoice/calcola_totali.h"
#include "ui/kit/db_grid.h"
#include "data/db_reread_diagnostics.h"
#include "data/diz.h"
#include "invoice_generator.h"
#include "test_db.h"
#include "invoice/testata_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using Bench::median;
using Bench::peakRssKb;

// Runs the event loop for `ms` and returns the longest time it was kept from a 1 ms timer.
double longestBlockMs(QApplication &app, int ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    double longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, (now - last) / 1e6);
        last = now;
        if (clock.elapsed() > ms)
            app.quit();
    });
    tick.start(1);
    app.exec();
    return longest;
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QApplication app(argc, argv);
    const int invoices = argc > 1 ? std::atoi(argv[1]) : 50000;

    ScratchDatabase db({QStringLiteral("xml_norva.sql")}, QStringLiteral("bench"));
    QElapsedTimer t;
    t.start();
    fill(db.sql(), QStringLiteral("testata"), invoices, [](int) { return QVariantMap{{"inviata", 0}}; });
    fill(db.sql(), QStringLiteral("dettaglio"), invoices * 10,
         [](int i) { return QVariantMap{{"id_invio", i / 10 + 1}, {"prog", i % 10 + 1}}; });
    fill(db.sql(), QStringLiteral("test_dati"), invoices,
         [](int i) { return QVariantMap{{"id_invio", i + 1}, {"tipo", "DatiOrdineAcquisto"}}; });
    fill(db.sql(), QStringLiteral("dati_acquisto"), invoices,
         [](int i) { return QVariantMap{{"id_invio", i + 1}, {"tipo", "DatiOrdineAcquisto"}}; });
    std::printf("generated %d invoices, %d lines in %.1f s\n", invoices, invoices * 10, t.elapsed() / 1000.0);

    // One more invoice, of 100 lines, for the totals.
    const int big = invoices + 1;
    fill(db.sql(), QStringLiteral("testata"), 1, [](int) { return QVariantMap{{"inviata", 0}}; });
    fill(db.sql(), QStringLiteral("dettaglio"), 100, [big](int i) {
        return QVariantMap{{"id_invio", big}, {"prog", i + 1}, {"quantita", "2,00"}, {"prezzo_unit", "12,50"},
                           {"prezzo_tot", "25,00"}, {"aliquota", i % 3 ? "22" : "10"}, {"tipo_cessione", ""},
                           {"sc_tipo", ""}};
    });

    TDiz diz;
    installTestataHooks(diz);
    Bench::connectDataModule(diz, db);
    t.restart();
    diz.openTables();
    std::printf("open ten tables: %.1f ms (testata rows: %d)\n", t.nsecsElapsed() / 1e6, diz.Testata.rowCount());
    // The workspace's two grids.
    DbGrid heads(diz.Testata, {{QStringLiteral("prot")}, {QStringLiteral("data_doc")}, {QStringLiteral("num_doc")},
                               {QStringLiteral("rag_soc")}, {QStringLiteral("tot_doc")}, {QStringLiteral("nome_file")}});
    DbGrid lines(diz.Detta, {{QStringLiteral("prog")}, {QStringLiteral("descrizione")}, {QStringLiteral("quantita")},
                             {QStringLiteral("prezzo_unit")}, {QStringLiteral("prezzo_tot")}, {QStringLiteral("aliquota")}});
    heads.setRowSelect(true);
    heads.resize(900, 400);
    lines.resize(900, 300);
    heads.show();
    lines.show();
    QApplication::processEvents();
    std::printf("peak memory after generating and opening: %.1f MB\n", peakRssKb() / 1024.0);
    t.restart();
    diz.Testata.refresh();
    std::printf("re-read testata: %.1f ms, peak %.1f MB\n", t.nsecsElapsed() / 1e6, peakRssKb() / 1024.0);

    std::vector<double> moves;
    diz.Testata.first();
    for (int i = 0; i < 1000 && !diz.Testata.eof(); ++i) {
        t.restart();
        diz.Testata.next();
        moves.push_back(t.nsecsElapsed() / 1e6);
        if (diz.Detta.rowCount() != 10 || diz.ContrattoD.rowCount() != 1) {
            std::printf("unexpected detail rows at invoice %d\n", i);
            return 1;
        }
    }
    std::sort(moves.begin(), moves.end());
    std::printf("move to next invoice: median %.3f ms, 95th percentile %.3f ms (%zu moves)\n",
                moves[moves.size() / 2], moves[moves.size() * 95 / 100], moves.size());

    t.restart();
    diz.Testata.refresh();
    std::printf("re-read testata on demand (grid bound): %.1f ms\n", t.nsecsElapsed() / 1e6);

    // Periodic re-reads while the sending script marks invoices as sent now and then.
    int applied = 0;
    DbRereadDiagnostics::setFetchObserver(diz.Testata, [&] { ++applied; });
    diz.Testata.setRefreshInterval(250);
    QTimer script;
    int marked = 0;
    QObject::connect(&script, &QTimer::timeout, [&] {
        db.sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio BETWEEN ? AND ?"),
                      {marked * 7 + 1, marked * 7 + 3});
        ++marked;
    });
    script.start(400);
    const double block = longestBlockMs(app, 4000);
    script.stop();
    diz.Testata.setRefreshInterval(10000);
    DbRereadDiagnostics::setFetchObserver(diz.Testata, {});
    std::printf("periodic re-reads of testata with the grid bound: longest event-loop block %.1f ms (%d re-reads, %d script updates)\n",
                block, applied, marked);

    // Storing one changed header row with the grid bound.
    std::vector<double> posts;
    for (int i = 0; i < 200; ++i) {
        diz.Testata.moveTo(1000 + i);
        t.restart();
        diz.Testata.setText(QStringLiteral("num_doc"), QStringLiteral("B%1").arg(i));
        diz.Testata.post();
        posts.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("post one changed header (grid bound): median %.3f ms\n", median(posts));

    // CalcolaTotali on the invoice of 100 lines, both grids bound.
    diz.Testata.last();
    if (diz.Testata.asInteger(QStringLiteral("id_invio")) != big || diz.Detta.rowCount() != 100) {
        std::printf("the 100-line invoice is not where expected\n");
        return 1;
    }
    std::vector<double> totals;
    for (int i = 0; i < 50; ++i) {
        t.restart();
        CalcolaTotali(diz);
        totals.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("CalcolaTotali on 100 lines (two grids bound): median %.2f ms (tot_doc %s)\n", median(totals),
                qPrintable(diz.Testata.text(QStringLiteral("tot_doc"))));
    std::printf("peak memory: %.1f MB\n", peakRssKb() / 1024.0);
    return 0;
}
