// No client can hold the service up: idle connections and clients that send their request
// a byte at a time cost it no worker, requests sent together on one connection are all
// answered, and a refusal of the protocol has a page too. All on the loopback interface,
// with a bounded number of connections and seconds.
#include "service_process.h"
#include "written_invoice_test.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

// A plain TCP connection to the service, closed with the object.
class RawConnection {
public:
    explicit RawConnection(int port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(uint16_t(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd >= 0 && ::connect(m_fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RawConnection()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    bool connected() const { return m_fd >= 0; }
    bool send(const std::string &bytes) const { return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == ssize_t(bytes.size()); }

    // Everything the service sends within `ms` milliseconds, or until it closes.
    std::string receive(int ms) const
    {
        std::string all;
        QElapsedTimer clock;
        clock.start();
        char buffer[4096];
        while (clock.elapsed() < ms) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, int(ms - clock.elapsed())) <= 0)
                break;
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            all.append(buffer, size_t(n));
        }
        return all;
    }

private:
    int m_fd = -1;
};

int countOf(const std::string &text, const std::string &part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class ServiceConnectionsTest : public WrittenInvoiceTest {
protected:
    std::unique_ptr<QTemporaryDir> parent;
    std::unique_ptr<ServiceProcess> service;

    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        parent = std::make_unique<QTemporaryDir>();
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("outbox"), parent->filePath(QStringLiteral("outbox")));
        service = std::make_unique<ServiceProcess>(settings);
        ASSERT_TRUE(service->started());
    }
    void TearDown() override
    {
        service.reset();
        WrittenInvoiceTest::TearDown();
    }

    std::string requestHead(const QString &pathAndQuery) const
    {
        return "GET " + service->withSecret(pathAndQuery).toStdString() + " HTTP/1.1\r\nHost: 127.0.0.1:"
            + std::to_string(service->port()) + "\r\n\r\n";
    }
};

// 500 connections that send nothing and four clients that send their request head a byte a
// second are held open; a request of the program is still answered within a second, and a
// client that does not complete its head in time gets 408.
TEST_F(ServiceConnectionsTest, ARequestIsAnsweredWithinASecondWhileIdleAndSlowClientsAreHeld)
{
    const int id = writtenInvoice();
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 500; ++i) {
        idle.push_back(std::make_unique<RawConnection>(service->port()));
        ASSERT_TRUE(idle.back()->connected()) << i;
    }
    std::atomic<bool> done{false};
    std::vector<std::unique_ptr<RawConnection>> slow;
    std::vector<std::thread> slowSenders;
    for (int i = 0; i < 4; ++i) {
        slow.push_back(std::make_unique<RawConnection>(service->port()));
        slowSenders.emplace_back([&, c = slow.back().get()] {
            const std::string head = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Lento: ";
            for (size_t at = 0; !done && c->send(std::string(1, head[at % head.size()])); ++at)
                for (int tick = 0; tick < 10 && !done; ++tick)
                    QThread::msleep(100);
        });
    }
    QThread::msleep(1500);  // every connection accepted, the slow heads started

    QElapsedTimer clock;
    clock.start();
    const Reply root = service->get(QStringLiteral("/"));
    EXPECT_EQ(root.status, 200);
    EXPECT_LT(clock.elapsed(), 1000);
    clock.restart();
    const Reply sent = service->get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(storedFileName(id)).arg(id));
    EXPECT_EQ(sent.status, 200) << sent.body.toStdString();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));

    // The whole head has a deadline: a slow client is answered 408 and closed.
    const std::string answer = slow.front()->receive(8000);
    EXPECT_EQ(answer.rfind("HTTP/1.1 408", 0), 0u) << answer;
    done = true;
    for (auto &t : slowSenders)
        t.join();
}

// Requests written together on one connection, before any answer, are answered in order.
TEST_F(ServiceConnectionsTest, PipelinedRequestsAreAllAnswered)
{
    RawConnection c(service->port());
    ASSERT_TRUE(c.connected());
    std::string burst;
    for (int i = 0; i < 7; ++i)
        burst += requestHead(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=IT01234567890_0000%1.xml&n_invio=99999%1").arg(i));
    burst += requestHead(QStringLiteral("/"));
    ASSERT_TRUE(c.send(burst));
    std::string answers;
    for (int i = 0; i < 50 && countOf(answers, "HTTP/1.1 ") < 8; ++i)
        answers += c.receive(200);
    EXPECT_EQ(countOf(answers, "HTTP/1.1 404"), 7) << answers;
    EXPECT_EQ(countOf(answers, "HTTP/1.1 200"), 1) << answers;
    EXPECT_NE(answers.find("Il servizio di invio e caricamento fatture"), std::string::npos);
}

// An address longer than the service reads is refused with a page that says so.
TEST_F(ServiceConnectionsTest, ATooLongAddressIsRefusedWithAPage)
{
    const Reply reply = service->get(QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=") + QString(9000, QLatin1Char('a')));
    EXPECT_EQ(reply.status, 414);
    EXPECT_TRUE(reply.body.contains(QStringLiteral("troppo lungo"))) << reply.body.toStdString();
}

} // namespace
