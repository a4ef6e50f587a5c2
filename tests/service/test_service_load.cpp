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
    ASSERT_TRUE(QFile::copy(QProcessEnvironment::systemEnvironment().value(QStringLiteral("XN_SHARED_DIR"))
                                + QStringLiteral("/fatturapa/IT01234567890_FPR01.xml"),
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

} // namespace
