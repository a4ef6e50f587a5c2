// Import figures: a management database of N invoices of 10 lines each plus M deferred
// invoices billing 3 delivery notes of 3 lines each, imported into an empty electronic-
// invoice database, files included. Prints the documents imported per second.
//   bench_import [invoices=2000] [deferred=200]
#include "data/app_error.h"
#include "bench_support.h"
#include "data/diz.h"
#include "import/importa_fatture.h"
#include "import/management_fields.h"
#include "data/messages.h"
#include "test_db.h"
#include "invoice/testata_hooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace {

class AlwaysYes : public Messages {
public:
    void inform(const QString &) override {}
    bool confirm(const QString &) override { return true; }
};

// Collects rows and stores them with multi-row INSERTs.
class BulkInsert {
public:
    BulkInsert(DbConnection &conn, const QString &head) : m_conn(conn), m_head(head) {}
    ~BulkInsert() { flush(); }
    void add(const QVariantList &values)
    {
        QStringList literals;
        for (const QVariant &v : values)
            literals << m_conn.sqlLiteral(v);
        m_values << QLatin1Char('(') + literals.join(QLatin1Char(',')) + QLatin1Char(')');
        if (m_values.size() >= 1000)
            flush();
    }
    void flush()
    {
        if (!m_values.isEmpty())
            m_conn.exec(m_head + QStringLiteral(" VALUES ") + m_values.join(QLatin1Char(',')));
        m_values.clear();
    }

private:
    DbConnection &m_conn;
    QString m_head;
    QStringList m_values;
};

const QString DocumentHead = QStringLiteral(
    "INSERT INTO testata (protocollo, anno, cl_fo, reg_doc, tipo_doc, num_doc, data, rag_soc, indirizzo, cap, citta, prov, "
    "partiva, cod_fis, cod_destinatario, pec, dest_soc, dest_indirizzo, dest_cap, dest_citta, imponibile1, iva1, aliquota1, "
    "imponibile2, iva2, aliquota2, imponibile3, iva3, aliquota3, imponibile4, iva4, aliquota4, imponibile5, iva5, aliquota5, "
    "val_sconto1, val_sconto2, val_sconto3, val_sconto4, val_sconto5, spese_tr, spese_inc, aliq_spese, bolli, abbuono, "
    "prot_f_diff)");
const QString LineHead = QStringLiteral(
    "INSERT INTO dettag (prot_testa, protocollo, codice_art, cod_art, descrizione, um, colli, quantita, pr_lordo, sc_1, sc_2, "
    "sc_3, aliquota, categoria, lotto, origine)");

QVariantList document(int protocollo, int anno, const char *reg, int num, int protFDiff)
{
    return {protocollo, anno, "C", reg, "DOC", num, QStringLiteral("2026-%1-15").arg(1 + num % 12, 2, 10, QLatin1Char('0')),
            QStringLiteral("Cliente %1 S.r.l.").arg(num), "Via Emilia 215", "40068", "San Lazzaro di Savena", "BO",
            "00412360372", "FRRLCU75M12F257W", "KRRH6B9", "cliente@pec.it", "Cliente - magazzino", "Via Po 3", "40100",
            "Bologna", 500, 110, 22, 200, 8, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 22, 0, 0, protFDiff};
}

QVariantList line(int protTesta, int protocollo, int i)
{
    return {protTesta, protocollo, i, QStringLiteral("ART%1").arg(i), QStringLiteral("Articolo numero %1").arg(i),
            i % 3 == 0 ? "CL" : "PZ", 2, 12, 10.5, i % 2 ? 10 : 0, 0, 0, i % 4 == 0 ? 4 : 22, "ALI", "L26", "Italia"};
}

} // namespace

int main(int argc, char **argv)
{
    Bench::useDefaultEnvironment();
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const int invoices = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int deferred = argc > 2 ? std::atoi(argv[2]) : 200;

    ScratchDatabase xml({QStringLiteral("xml_norva.sql")}, QStringLiteral("bench"));
    ScratchDatabase norva({QStringLiteral("norva26.sql")}, QStringLiteral("benchn"));
    QTemporaryDir folder(QStringLiteral("/tmp/bench-XXXXXX"));
    xml.sql().exec(QStringLiteral("INSERT INTO azienda (rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, prov, "
                                  "nazione, uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, iban) "
                                  "VALUES ('Norva Alimentari S.r.l.', '03184520363', '03184520363', 'RF01', 'Via Emilia "
                                  "Ovest 112', '41123', 'Modena', 'MO', 'IT', 'MO', '371542', '20000,00', 'SM', 'LN', "
                                  "'info@norva.it', '059876432', ?, 'IT60X0542811101000000123456')"),
                   {folder.path() + QLatin1Char('/')});

    QElapsedTimer t;
    t.start();
    {
        BulkInsert documents(norva.sql(), DocumentHead);
        BulkInsert lines(norva.sql(), LineHead);
        int protocollo = 0, lineKey = 0;
        for (int n = 1; n <= invoices; ++n) {
            documents.add(document(++protocollo, 2026, "FV", n, 0));
            for (int i = 1; i <= 10; ++i)
                lines.add(line(protocollo, ++lineKey, i));
        }
        for (int n = 1; n <= deferred; ++n) {
            const int invoice = ++protocollo;
            documents.add(document(invoice, 2026, "FD", n, 0));
            for (int note = 1; note <= 3; ++note) {
                documents.add(document(++protocollo, 2026, "DDT", n * 10 + note, invoice));
                for (int i = 1; i <= 3; ++i)
                    lines.add(line(protocollo, ++lineKey, i));
            }
        }
    }
    const int total = invoices + deferred;
    std::printf("generated %d invoices of 10 lines and %d deferred invoices of 3 notes in %.1f s\n", invoices, deferred,
                t.elapsed() / 1000.0);

    TDiz diz;
    installTestataHooks(diz);
    installManagementFields(diz);
    openDizOn(diz, xml, &norva);
    diz.AziendaT.first();
    AlwaysYes yes;

    t.restart();
    try {
        ImportaFatture(diz, yes, QStringLiteral("31/12/26"), QStringLiteral("A"));
    } catch (const AppError &e) {
        std::printf("import stopped: %s\n", qPrintable(e.text()));
        return 1;
    }
    const double seconds = t.nsecsElapsed() / 1e9;

    const int headers = xml.sql().select(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file IS NOT NULL")).rows.at(0).raw(0).toInt();
    const int files = int(QDir(folder.path()).entryList(QDir::Files).size());
    if (headers != total || files != total) {
        std::printf("unexpected result: %d headers with a file name, %d files, %d documents\n", headers, files, total);
        return 1;
    }
    std::printf("imported %d documents with their files in %.2f s: %.0f documents per second\n", total, seconds,
                total / seconds);

    t.restart();
    ImportaFatture(diz, yes, QStringLiteral("31/12/26"), QStringLiteral("A"));
    std::printf("second run (nothing to import): %.2f s\n", t.nsecsElapsed() / 1e9);
    return 0;
}
