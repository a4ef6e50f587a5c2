// The loading address loads a received invoice once, whatever the name of its file: the
// signed copy of an invoice already loaded is refused, naming the file it came from.
#include "service_process.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

TEST(ServiceLoadOnce, TheSignedCopyOfAnInvoiceLoadedBeforeIsRefusedAndStoresNothing)
{
    ScratchDatabase db;
    QTemporaryDir received;
    for (const char *name : {"IT01234567890_FPR01.xml", "IT01234567890_FPR01.xml.p7m"})
        ASSERT_TRUE(QFile::copy(TestDb::schemaFile(QStringLiteral("ricevute/") + QLatin1String(name)),
                                received.filePath(QLatin1String(name))));
    auto settings = ServiceTest::testDatabaseSettings(db.name());
    settings.insert(QStringLiteral("received"), received.path());
    ServiceProcess service(settings);
    ASSERT_TRUE(service.started());
    auto rows = [&](const char *table) {
        return db.sql().select(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).rows.at(0).raw(0).toInt();
    };

    const Reply loaded = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=IT01234567890_FPR01.xml"));
    EXPECT_EQ(loaded.status, 200) << loaded.body.toStdString();
    const Reply again = service.get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=IT01234567890_FPR01.xml.p7m"));
    EXPECT_EQ(again.status, 422) << again.body.toStdString();
    EXPECT_TRUE(again.body.contains(QStringLiteral("Attenzione... Fattura gia Caricata"))) << again.body.toStdString();
    EXPECT_TRUE(again.body.contains(QStringLiteral("dal file IT01234567890_FPR01.xml"))) << again.body.toStdString();
    EXPECT_EQ(rows("test_car"), 1);
    EXPECT_EQ(rows("dett_car"), 1);
}

} // namespace
