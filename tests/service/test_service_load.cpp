// The loading address: names that are not a bare file name are refused before anything is
// read; a bare name is handed to the loading of received invoices.
#include "service_process.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

TEST(ServiceLoad, NamesWithFoldersOrMissingKeysAreRefusedAndNothingIsStored)
{
    ScratchDatabase db;
    QTemporaryDir parent;
    const QString received = parent.filePath(QStringLiteral("ricevute"));
    ASSERT_TRUE(QDir().mkpath(received));
    // A real invoice just outside the received folder: reaching it would load it.
    ASSERT_TRUE(QFile::copy(QStringLiteral(XN_TEST_DATA_DIR "/IT01234567890_FPR01.xml"),
                            parent.filePath(QStringLiteral("fuori.xml"))));
    auto settings = ServiceTest::testDatabaseSettings(db.name());
    settings.insert(QStringLiteral("received"), received);
    ServiceProcess service(settings);
    ASSERT_TRUE(service.started());

    const char *const refused[] = {
        "",                                  // no key at all
        "nome_file=",                        // empty name
        "nome_file=../fuori.xml",
        "nome_file=..%2Ffuori.xml",
        "nome_file=%2E%2E/fuori.xml",
        "nome_file=..%5Cfuori.xml",
        "nome_file=sotto/fuori.xml",
        "nome_file=..",
        "nome_file=.nascosto.xml",
        "nome_file=fuori.xml%0A",
        "nome_file=a.xml&nome_file=b.xml",   // a name given twice
    };
    for (const char *query : refused) {
        const Reply reply = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?") + QLatin1String(query));
        EXPECT_EQ(reply.status, 400) << query << "\n" << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QStringLiteral("Fattura non caricata"))) << query << "\n" << reply.body.toStdString();
    }
    const DbResult stored = db.sql().select(QStringLiteral("SELECT COUNT(*) FROM test_car"));
    EXPECT_EQ(stored.rows.at(0).raw(0), QByteArrayView("0"));

    // A bare name gets past the name check to the loading itself, which finds no such file.
    const Reply missing = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=fuori.xml"));
    EXPECT_NE(missing.status, 200) << missing.body.toStdString();
    EXPECT_NE(missing.status, 400) << missing.body.toStdString();
    EXPECT_TRUE(missing.body.contains(QStringLiteral("Fattura non caricata"))) << missing.body.toStdString();
    EXPECT_EQ(db.sql().select(QStringLiteral("SELECT COUNT(*) FROM test_car")).rows.at(0).raw(0), QByteArrayView("0"));
}

TEST(ServiceLoad, AFileIsLoadedOnceWithAnAnswerNamingWhatWasStoredAndABrokenOneStoresNothing)
{
    ScratchDatabase db;
    QTemporaryDir received;
    const QString samples = QStringLiteral(XN_TEST_DATA_DIR "/");
    ASSERT_TRUE(QFile::copy(samples + QStringLiteral("IT01234567890_FPA03.xml"),
                            received.filePath(QStringLiteral("IT01234567890_FPA03.xml"))));
    QFile sample(samples + QStringLiteral("IT01234567890_FPR01.xml"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QFile truncated(received.filePath(QStringLiteral("troncata.xml")));
    ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
    truncated.write(sample.readAll().chopped(200));
    truncated.close();

    auto settings = ServiceTest::testDatabaseSettings(db.name());
    settings.insert(QStringLiteral("received"), received.path());
    ServiceProcess service(settings);
    ASSERT_TRUE(service.started());
    auto rows = [&](const char *table) {
        return db.sql().select(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).rows.at(0).raw(0).toInt();
    };

    // Two bodies: two headers with their lines, and a page that names each of them.
    const Reply loaded = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=IT01234567890_FPA03.xml"));
    EXPECT_EQ(loaded.status, 200) << loaded.body.toStdString();
    EXPECT_TRUE(loaded.body.contains(QStringLiteral("Fattura caricata"))) << loaded.body.toStdString();
    for (const char *shown : {"ALPHA SRL", "12", "18/01/2017", "30,50", "456", "20/01/2017", "2440,00"})
        EXPECT_TRUE(loaded.body.contains(QLatin1String(shown))) << shown << "\n" << loaded.body.toStdString();
    const DbResult headers = db.sql().select(QStringLiteral("SELECT num_doc, tot_doc, nome_file FROM test_car ORDER BY prot"));
    ASSERT_EQ(headers.rows.size(), 2u);
    EXPECT_EQ(headers.rows[0].raw(0), QByteArrayView("12"));
    EXPECT_EQ(headers.rows[1].raw(1), QByteArrayView("2440,00"));
    EXPECT_EQ(headers.rows[1].raw(2), QByteArrayView("IT01234567890_FPA03.xml"));
    EXPECT_EQ(rows("dett_car"), 3);

    // The same file again is refused and stores nothing more.
    const Reply again = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=IT01234567890_FPA03.xml"));
    EXPECT_EQ(again.status, 422) << again.body.toStdString();
    EXPECT_TRUE(again.body.contains(QStringLiteral("Attenzione... File gia Caricato"))) << again.body.toStdString();
    EXPECT_EQ(rows("test_car"), 2);
    EXPECT_EQ(rows("dett_car"), 3);

    // A file cut short is no invoice.
    const Reply broken = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=troncata.xml"));
    EXPECT_EQ(broken.status, 422) << broken.body.toStdString();
    EXPECT_TRUE(broken.body.contains(QStringLiteral("non e un XML ben formato"))) << broken.body.toStdString();
    EXPECT_EQ(rows("test_car"), 2);
    EXPECT_EQ(rows("dett_car"), 3);
}

} // namespace
