// Search-as-you-type figures of the registries on a large electronic-invoice database:
// C customers and A articles (every column filled, names and descriptions made of common
// words). Each search is timed from the changed text of the box to the list drawn again.
// Prints, per screen and box, the median and the largest time of a keystroke while
// words are typed letter by letter, of the one-letter searches A..Z, and of the empty
// search (every row): wall time, and the CPU time of this process plus the test server
// (what the search costs when no other work shares the processors).
//   bench_registries [customers=20000] [articles=50000]
#include "ui/screens/registries/anag_cl.h"
#include "bench_support.h"
#include "ui/screens/registries/articoli.h"
#include "ui/kit/db_grid.h"
#include "data/diz.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "data/registry_search.h"
#include "test_db.h"
#include "invoice/testata_hooks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QStringList Words{
    "ROSSI", "BIANCHI", "FERRARI", "ESPOSITO", "ROMANO", "COLOMBO", "RICCI", "MARINO", "GRECO", "BRUNO",
    "GALLO", "CONTI", "DE LUCA", "MANCINI", "COSTA", "GIORDANO", "RIZZO", "LOMBARDI", "MORETTI", "BARBIERI",
    "ALFA", "METALFER", "EDILIZIA", "TRASPORTI", "COSTRUZIONI", "IMPIANTI", "FORNITURE", "SERVIZI", "ITALIA",
    "NORD", "SUD", "CENTRO", "TECNO", "AGRI", "ELETTRO", "IDRAULICA", "LEGNAMI", "FERRAMENTA", "VERNICI"};
const QStringList Forms{"SRL", "SPA", "SNC", "SAS", "DI", "& C.", "SRLS"};
const QStringList Things{
    "VITE", "DADO", "BULLONE", "ROSETTA", "TASSELLO", "CHIODO", "RONDELLA", "PERNO", "GANCIO", "STAFFA",
    "TUBO", "RACCORDO", "GOMITO", "VALVOLA", "RUBINETTO", "CAVO", "PRESA", "INTERRUTTORE", "LAMPADA", "NASTRO",
    "COLLA", "SILICONE", "VERNICE", "PENNELLO", "RULLO", "SPATOLA", "MARTELLO", "CACCIAVITE", "PINZA", "CHIAVE"};
const QStringList Qualities{"ZINCATO", "INOX", "OTTONE", "PVC", "RAME", "ACCIAIO", "NERO", "BIANCO", "M4", "M6",
                            "M8", "M10", "1/2\"", "3/4\"", "10MM", "20MM", "CONF. 100", "CONF. 50"};

QString pick(const QStringList &from, QRandomGenerator &r) { return from.at(int(r.bounded(quint32(from.size())))); }

// CPU time so far of this process and of the test server's threads, in ms. The machine
// may be shared: the wall time then includes waiting for a processor, the CPU time not.
double clientCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

QString serverPid()
{
    QFile f(QFileInfo(qEnvironmentVariable("XN_TEST_DB_SOCKET")).dir().filePath(QStringLiteral("mysqld.pid")));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().trimmed()) : QString();
}

// -1 when the server's threads cannot be read (another machine, another user).
double serverCpuMs()
{
    static const QString pid = serverPid();
    if (pid.isEmpty())
        return -1;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    if (!tasks.exists())
        return -1;
    double ns = 0;
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile f(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (f.open(QIODevice::ReadOnly))
            ns += f.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

struct Sample {
    double wall;
    double cpu;  // this process and the server; -1 when the server's part is unknown
};

struct Figures {
    std::vector<double> ms;
    std::vector<double> cpu;
    void add(const Sample &s)
    {
        ms.push_back(s.wall);
        cpu.push_back(s.cpu);
    }
    double median() const { return Bench::median(ms); }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double cpuMedian() const { return Bench::median(cpu); }
    double cpuMax() const { return cpu.empty() ? 0 : *std::max_element(cpu.begin(), cpu.end()); }
    void print(const char *what, const char *kind, const QString &rows) const
    {
        std::printf("%-24s %-10s wall median %6.1f ms, max %6.1f ms | cpu median %6.1f ms, max %6.1f ms  %s\n", what,
                    kind, median(), max(), cpuMedian(), cpuMax(), qPrintable(rows));
    }
};

// Sets the box's text (its change runs the search) and draws the list again.
Sample timedSearch(QLineEdit *box, DbGrid *list, const QString &text)
{
    const double server = serverCpuMs();
    const double client = clientCpuMs();
    QElapsedTimer t;
    t.start();
    box->setText(text);
    QApplication::processEvents();
    list->viewport()->repaint();
    const double wall = t.nsecsElapsed() / 1e6;
    const double cpu = server < 0 ? -1 : clientCpuMs() - client + serverCpuMs() - server;
    return {wall, cpu};
}

// Where the time of the empty search goes: the server's answer alone, the table object's
// search (statement, fetch, order), and the whole search with the list drawn.
void breakdown(QLineEdit *box, DbGrid *list, DbTable &table, const QString &column, const QStringList &orderBy)
{
    QElapsedTimer t;
    t.start();
    table.connection().select(RegistrySearch::statement(table.connection(), table.tableName(), column, {}, orderBy));
    const double server = t.nsecsElapsed() / 1e6;
    t.restart();
    RegistrySearch::run(table, column, {}, orderBy);
    const double search = t.nsecsElapsed() / 1e6;
    timedSearch(box, list, QStringLiteral("A"));
    const double whole = timedSearch(box, list, QString()).wall;
    std::printf("%-24s %-10s wall: server's answer %.1f ms, table object %.1f ms, with the list drawn %.1f ms\n", "",
                "empty", server, search, whole);
}

void measure(const char *what, QLineEdit *box, DbGrid *list, const DbTable &table, const QStringList &typed)
{
    timedSearch(box, list, QStringLiteral("WARM"));
    Figures keystrokes, oneLetter, empty;
    for (const QString &word : typed) {
        timedSearch(box, list, QString());
        for (int n = 1; n <= word.size(); ++n)
            keystrokes.add(timedSearch(box, list, word.left(n)));
    }
    int largestOneLetter = 0;
    for (char c = 'A'; c <= 'Z'; ++c) {
        timedSearch(box, list, QStringLiteral("ZZZZZZ"));
        oneLetter.add(timedSearch(box, list, QString(QChar(c))));
        largestOneLetter = std::max(largestOneLetter, table.rowCount());
    }
    int everyRow = 0;
    for (int i = 0; i < 5; ++i) {
        timedSearch(box, list, QStringLiteral("A"));
        empty.add(timedSearch(box, list, QString()));
        everyRow = table.rowCount();
    }
    keystrokes.print(what, "keystroke", QStringLiteral("(%1 keystrokes)").arg(keystrokes.ms.size()));
    oneLetter.print("", "one letter", QStringLiteral("(A..Z, up to %1 rows)").arg(largestOneLetter));
    empty.print("", "empty", QStringLiteral("(%1 rows)").arg(everyRow));
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QApplication app(argc, argv);
    const int customers = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int articles = argc > 2 ? std::atoi(argv[2]) : 50000;

    ScratchDatabase db({QStringLiteral("xml_norva.sql")}, QStringLiteral("bench"));
    QRandomGenerator r(2026);
    QElapsedTimer t;
    t.start();
    Bench::insertRows(db.sql(), QStringLiteral("clienti"), customers, [&](int i) {
        const QString name = pick(Words, r) + u' ' + pick(Words, r) + u' ' + pick(Forms, r);
        return QVariantMap{{"rag_soc", name},
                           {"indirizzo", QStringLiteral("VIA %1 %2").arg(pick(Words, r)).arg(i % 200 + 1)},
                           {"comune", pick(Words, r)},
                           {"cap", QStringLiteral("%1").arg(10000 + i % 89999, 5, 10, QLatin1Char('0'))},
                           {"prov", "MI"},
                           {"nazione", "IT"},
                           {"p_iva", QStringLiteral("%1").arg(i, 11, 10, QLatin1Char('0'))},
                           {"cod_fis", QStringLiteral("%1").arg(i, 16, 10, QLatin1Char('0'))},
                           {"cod_dest", "0000000"},
                           {"pec", QStringLiteral("cliente%1@pec.it").arg(i)},
                           {"dest_soc", name},
                           {"dest_indir", QStringLiteral("VIA %1").arg(pick(Words, r))},
                           {"dest_comune", pick(Words, r)},
                           {"dest_cap", "20100"}};
    });
    Bench::insertRows(db.sql(), QStringLiteral("magazzino"), articles, [&](int i) {
        return QVariantMap{{"descrizione", pick(Things, r) + u' ' + pick(Qualities, r) + u' ' + pick(Qualities, r)},
                           {"codice_tipo", "INTERNO"},
                           {"codice_val", QStringLiteral("%1%2-%3")
                                              .arg(QChar(u'A' + int(r.bounded(26))))
                                              .arg(QChar(u'A' + int(r.bounded(26))))
                                              .arg(i, 6, 10, QLatin1Char('0'))},
                           {"esistenza", "10"},
                           {"um", "PZ"},
                           {"prezzo_unit", "12,500"},
                           {"sc_tipo", "SC"},
                           {"sc_perc", "10,0"},
                           {"sc_importo", "1,25"},
                           {"prezzo_tot", "11,250"},
                           {"costo_unit", "8,000"},
                           {"sc_costo_tipo", "SC"},
                           {"sc_costo_perc", "5,00"},
                           {"sc_costo_importo", "0,40"},
                           {"costo_tot", "7,600"},
                           {"aliquota", "22"}};
    });
    std::printf("generated %d customers, %d articles in %.1f s\n", customers, articles, t.elapsed() / 1000.0);

    TDiz diz;
    installTestataHooks(diz);
    openDizOn(diz, db);
    TElenco_Fatt workspace(diz);
    Elenco_Fatt = &workspace;
    TAnag_Cl customersScreen(diz);
    customersScreen.show();
    measure("customers by name", customersScreen.searchBox, customersScreen.list, diz.Clienti,
            {"ROSSI", "METALFER SRL", "ALFA", "DE LUCA", "TECNO SPA", "ZZ"});
    breakdown(customersScreen.searchBox, customersScreen.list, diz.Clienti, QStringLiteral("rag_soc"), {"rag_soc"});
    customersScreen.hide();

    TArticoli articlesScreen(diz);
    articlesScreen.show();
    measure("articles by code", articlesScreen.codeSearch, articlesScreen.list, diz.Articoli,
            {"AB-0", "ZZ-01", "Q", "MK-000123"});
    breakdown(articlesScreen.codeSearch, articlesScreen.list, diz.Articoli, QStringLiteral("codice_val"), {"codice_val"});
    measure("articles by description", articlesScreen.descriptionSearch, articlesScreen.list, diz.Articoli,
            {"VITE", "BULLONE INOX", "CAVO RAME", "1/2\""});
    breakdown(articlesScreen.descriptionSearch, articlesScreen.list, diz.Articoli, QStringLiteral("descrizione"),
              {"codice_val", "descrizione"});
    articlesScreen.hide();
    Elenco_Fatt = nullptr;
    return 0;
}
