// Only the program may make the service send or load: a request without the installation's
// key, for another host name, from another site, or with a method other than GET reaches
// no handler, changes nothing and its refusal page holds nothing of the data.
#include "service_process.h"
#include "written_invoice_test.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

class ServiceGateTest : public WrittenInvoiceTest {
protected:
    static inline std::unique_ptr<QTemporaryDir> parent;
    static inline std::unique_ptr<ServiceProcess> service;

    static void SetUpTestSuite()
    {
        WrittenInvoiceTest::SetUpTestSuite();
        parent = std::make_unique<QTemporaryDir>();
        QDir().mkpath(parent->filePath(QStringLiteral("ricevute")));
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("channel"), QStringLiteral("folder"));
        settings.insert(QStringLiteral("outbox"), outbox());
        settings.insert(QStringLiteral("received"), parent->filePath(QStringLiteral("ricevute")));
        service = std::make_unique<ServiceProcess>(settings);
    }
    static void TearDownTestSuite()
    {
        service.reset();
        parent.reset();
        WrittenInvoiceTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        ASSERT_TRUE(service->started());
    }

    static QString outbox() { return parent->filePath(QStringLiteral("outbox")); }
    static QStringList outboxFiles() { return QDir(outbox()).entryList(QDir::Files | QDir::Hidden); }
    static std::string own(const char *host) { return std::string(host) + ":" + std::to_string(service->port()); }
};

TEST_F(ServiceGateTest, RequestsNotFromTheProgramAreRefusedAndSendNothing)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    const QString address = QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id);
    struct Probe {
        const char *what;
        std::string method;
        httplib::Headers headers;
        int key;  // 0 none, 1 the installation's, 2 a wrong one
        int status;
    };
    const Probe probes[] = {
        {"no key (an image tag on any page)", "GET", {}, 0, 403},
        {"a wrong key", "GET", {}, 2, 403},
        {"HEAD", "HEAD", {}, 1, 405},
        {"POST", "POST", {}, 1, 405},
        {"another host name (DNS rebinding)", "GET", {{"Host", "attacker.example:" + std::to_string(service->port())}}, 1, 421},
        {"localhost without the port", "GET", {{"Host", "localhost"}}, 1, 421},
        {"a cross-site fetch", "GET", {{"Sec-Fetch-Site", "cross-site"}}, 1, 403},
        {"a same-site fetch", "GET", {{"Sec-Fetch-Site", "same-site"}}, 1, 403},
        {"a foreign Origin", "GET", {{"Origin", "http://attacker.example"}}, 1, 403},
        {"Origin null", "GET", {{"Origin", "null"}}, 1, 403},
        {"a foreign Referer", "GET", {{"Referer", "http://attacker.example/pagina.html"}}, 1, 403},
        {"a Referer of another port", "GET", {{"Referer", "http://localhost:1/"}}, 1, 403},
    };
    for (const Probe &p : probes) {
        SCOPED_TRACE(p.what);
        const QString query = p.key == 2 ? address + QStringLiteral("&chiave=0123456789abcdef0123456789abcdef") : address;
        const Reply reply = service->request(p.method, query, p.headers, p.key == 1);
        EXPECT_EQ(reply.status, p.status) << reply.body.toStdString();
        EXPECT_FALSE(reply.body.contains(name)) << reply.body.toStdString();
        EXPECT_FALSE(reply.body.contains(service->secret())) << reply.body.toStdString();
        EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
        EXPECT_TRUE(outboxFiles().isEmpty());
    }
}

// The program's own request, as the desktop's browser makes it when the application opens
// the address: the key in the query, the service's own host, a top-level navigation.
TEST_F(ServiceGateTest, TheProgramsOwnAddressIsServed)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    const Reply reply = service->request("GET", QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id),
                                         {{"Host", own("localhost")},
                                          {"Sec-Fetch-Site", "none"},
                                          {"Sec-Fetch-Mode", "navigate"},
                                          {"Referer", "http://" + own("127.0.0.1") + "/"}});
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(outboxFiles(), QStringList{name});
    QDir(outbox()).removeRecursively();
}

TEST_F(ServiceGateTest, TheLoadingAddressWantsTheKeyToo)
{
    const Reply reply = service->request("GET", QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=fattura.xml"), {}, false);
    EXPECT_EQ(reply.status, 403) << reply.body.toStdString();
    EXPECT_FALSE(reply.body.contains(QStringLiteral("fattura.xml"))) << reply.body.toStdString();
}

// With the key, a name that is not the invoice's is refused without naming the stored one.
TEST_F(ServiceGateTest, ARefusalNeverNamesTheStoredFile)
{
    const int id = writtenInvoice();
    const Reply reply = service->get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=IT01234567890_99999.xml&n_invio=%1").arg(id));
    EXPECT_EQ(reply.status, 404) << reply.body.toStdString();
    EXPECT_FALSE(reply.body.contains(storedFileName(id))) << reply.body.toStdString();
}

} // namespace
