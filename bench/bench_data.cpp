// Data module figures on a large electronic-invoice database: N invoices (every column
// filled) of 10 lines each. Prints the time to open the ten tables, the median time of a
// move to another invoice (which re-reads its lines and linked documents), one re-read of
// testata, and the process's peak memory.
//   bench_data [invoices=50000]
#include "diz.h"
#include "invoice_generator.h"
#include "test_db.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("XN_SCHEMA_DIR"))
        qputenv("XN_SCHEMA_DIR", XN_DEFAULT_SCHEMA_DIR);
    if (qEnvironmentVariableIsEmpty("XN_TEST_DB_SOCKET"))
        qputenv("XN_TEST_DB_SOCKET", XN_DEFAULT_TEST_SOCKET);
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

    TDiz diz;
    TestDb::useTestServer();
    diz.xml_conn.setDatabase(db.name());
    diz.xml_conn.open();
    t.restart();
    diz.openTables();
    std::printf("open ten tables: %.1f ms (testata rows: %d)\n", t.nsecsElapsed() / 1e6, diz.Testata.rowCount());
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
    std::printf("re-read testata: %.1f ms\n", t.nsecsElapsed() / 1e6);
    std::printf("peak memory: %.1f MB\n", peakRssKb() / 1024.0);
    return 0;
}
