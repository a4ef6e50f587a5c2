#include "service/reception_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t ReadChunk = 4096;

bool headComplete(const std::string &buffer)
{
    return buffer.find("\r\n\r\n") != std::string::npos;
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::max<long long>(0, std::min<long long>(left, 60000)));
}

// A short answer written without waiting, to a client about to be closed.
void answerAndClose(int fd, const char *status, const char *text)
{
    const std::string body = std::string("<!DOCTYPE html>\n<html lang=\"it\"><head><meta charset=\"utf-8\"><title>") + text
        + "</title></head><body><h1>" + text + "</h1></body></html>\n";
    const std::string message = std::string("HTTP/1.1 ") + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: "
        + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    [[maybe_unused]] const ssize_t sent = ::send(fd, message.data(), message.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

std::string addressText(const sockaddr_storage &address, int &port)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (address.ss_family == AF_INET) {
        const auto *a = reinterpret_cast<const sockaddr_in *>(&address);
        inet_ntop(AF_INET, &a->sin_addr, text, sizeof text);
        port = ntohs(a->sin_port);
    } else if (address.ss_family == AF_INET6) {
        const auto *a = reinterpret_cast<const sockaddr_in6 *>(&address);
        inet_ntop(AF_INET6, &a->sin6_addr, text, sizeof text);
        port = ntohs(a->sin6_port);
    }
    return text;
}

} // namespace

// One client connection: its socket and what it sent that no request has used yet.
struct ReceptionServer::Connection {
    int fd = -1;
    std::string pending;
    Clock::time_point deadline;
    bool idle = true;  // nothing of the next request received yet

    ~Connection()
    {
        if (fd >= 0) {
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
        }
    }
};

namespace {

// The stream a worker answers a connection's requests through: first what the reception
// gathered, then the socket, each read and write bounded in time.
class ConnectionStream : public httplib::Stream {
public:
    // Reads from the socket end at the connection's deadline (its request head's); writes
    // wait at most `timeout` each.
    ConnectionStream(ReceptionServer::Connection &c, std::chrono::milliseconds timeout) : m_c(c), m_timeout(timeout) {}

    bool is_readable() const override { return !m_c.pending.empty() || waitFor(POLLIN, 0); }
    bool is_writable() const override { return waitFor(POLLOUT, int(m_timeout.count())); }

    ssize_t read(char *ptr, size_t size) override
    {
        if (m_c.pending.empty() && !fill(millisecondsUntil(m_c.deadline)))
            return -1;
        const size_t n = std::min(size, m_c.pending.size());
        std::memcpy(ptr, m_c.pending.data(), n);
        m_c.pending.erase(0, n);
        return ssize_t(n);
    }

    ssize_t write(const char *ptr, size_t size) override
    {
        size_t done = 0;
        while (done < size) {
            if (!waitFor(POLLOUT, int(m_timeout.count())))
                return -1;
            const ssize_t n = ::send(m_c.fd, ptr + done, size - done, MSG_NOSIGNAL);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0)
                return -1;
            done += size_t(n);
        }
        return ssize_t(done);
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getpeername(m_c.fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            ip = addressText(address, port);
    }

    void get_local_ip_and_port(std::string &ip, int &port) const override
    {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (::getsockname(m_c.fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            ip = addressText(address, port);
    }

    socket_t socket() const override { return m_c.fd; }

    // Reads what the socket holds within `timeoutMs`; false at its end, on error or time-out.
    bool fill(int timeoutMs)
    {
        if (!waitFor(POLLIN, timeoutMs))
            return false;
        char chunk[ReadChunk];
        for (;;) {
            const ssize_t n = ::recv(m_c.fd, chunk, sizeof chunk, MSG_DONTWAIT);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            m_c.pending.append(chunk, size_t(n));
            return true;
        }
    }

private:
    bool waitFor(short events, int timeoutMs) const
    {
        pollfd p{m_c.fd, events, 0};
        for (;;) {
            const int rc = ::poll(&p, 1, timeoutMs);
            if (rc < 0 && errno == EINTR)
                continue;
            return rc > 0 && (p.revents & events);
        }
    }

    ReceptionServer::Connection &m_c;
    std::chrono::milliseconds m_timeout;
};

} // namespace

// The thread that watches the connections waiting for a complete request head.
class ReceptionServer::Reception {
public:
    Reception(ReceptionServer &server, const Limits &limits) : m_server(server), m_limits(limits)
    {
        m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_thread = std::thread([this] { run(); });
    }

    ~Reception() { stop(); }

    void stop()
    {
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;
            m_stopping = true;
        }
        wake();
        if (m_thread.joinable())
            m_thread.join();
        m_waiting.clear();
        m_arrived.clear();
        if (m_wake >= 0)
            ::close(m_wake);
        m_wake = -1;
    }

    // A new connection, or one whose answer is out and that stays open for the next request.
    void admit(std::unique_ptr<Connection> c, std::chrono::milliseconds wait)
    {
        c->deadline = Clock::now() + wait;
        {
            std::lock_guard lock(m_mutex);
            if (m_stopping)
                return;  // closed with the object
            m_arrived.push_back(std::move(c));
        }
        wake();
    }

    bool stopping()
    {
        std::lock_guard lock(m_mutex);
        return m_stopping;
    }

    size_t open() const { return m_open.load(); }

private:
    void wake()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof one);
    }

    void run()
    {
        std::vector<pollfd> polled;
        for (;;) {
            {
                std::lock_guard lock(m_mutex);
                if (m_stopping)
                    return;
                for (auto &c : m_arrived)
                    m_waiting.push_back(std::move(c));
                m_arrived.clear();
            }
            // A connection that already holds a whole head goes on at once.
            Clock::time_point nearest = Clock::now() + std::chrono::seconds(60);
            for (auto &c : m_waiting) {
                if (c && !c->pending.empty() && headComplete(c->pending))
                    handOn(c);
                else if (c)
                    nearest = std::min(nearest, c->deadline);
            }
            compact();
            m_open.store(m_waiting.size());
            polled.assign(1, pollfd{m_wake, POLLIN, 0});
            for (auto &c : m_waiting)
                polled.push_back(pollfd{c->fd, POLLIN, 0});
            const int rc = ::poll(polled.data(), polled.size(), millisecondsUntil(nearest));
            if (rc < 0 && errno != EINTR)
                return;
            if (polled[0].revents & POLLIN) {
                uint64_t count = 0;
                [[maybe_unused]] const ssize_t n = ::read(m_wake, &count, sizeof count);
            }
            const Clock::time_point now = Clock::now();
            for (size_t i = 0; i < m_waiting.size(); ++i) {
                auto &c = m_waiting[i];
                if (polled[i + 1].revents)
                    receive(c);
                if (c && c->deadline <= now && !(c->pending.size() && headComplete(c->pending)))
                    expire(c);
            }
            compact();
        }
    }

    void receive(std::unique_ptr<Connection> &c)
    {
        char chunk[ReadChunk];
        const ssize_t n = ::recv(c->fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            return;
        if (n <= 0) {
            c.reset();  // the client closed, or the connection failed
            return;
        }
        if (c->idle) {
            // The head of a new request starts: it has its deadline from now on.
            c->idle = false;
            c->deadline = Clock::now() + m_limits.headDeadline;
        }
        c->pending.append(chunk, size_t(n));
        if (headComplete(c->pending) || c->pending.size() > m_limits.maxHeadBytes)
            handOn(c);
    }

    void expire(std::unique_ptr<Connection> &c)
    {
        if (c->idle) {
            c.reset();  // an idle connection is just closed
            return;
        }
        const int fd = c->fd;
        c->fd = -1;
        c.reset();
        answerAndClose(fd, "408 Request Timeout", "Richiesta non completata in tempo");
    }

    void handOn(std::unique_ptr<Connection> &c) { m_server.answer(std::move(c)); }

    void compact()
    {
        m_waiting.erase(std::remove(m_waiting.begin(), m_waiting.end(), nullptr), m_waiting.end());
    }

    ReceptionServer &m_server;
    Limits m_limits;
    int m_wake = -1;
    std::mutex m_mutex;
    bool m_stopping = false;
    std::vector<std::unique_ptr<Connection>> m_arrived;
    std::vector<std::unique_ptr<Connection>> m_waiting;  // touched by the reception thread only
    std::atomic<size_t> m_open{0};
    std::thread m_thread;
};

ReceptionServer::ReceptionServer(Limits limits) : m_limits(limits)
{
    // What the answers' Keep-Alive header announces; a connection is never cut after a
    // count of requests (requests already sent on it would be lost).
    set_keep_alive_timeout(std::max<time_t>(1, time_t(std::chrono::duration_cast<std::chrono::seconds>(m_limits.keepAlive).count())));
    set_keep_alive_max_count(100000);
    // Every connection is handled here (process_and_close_socket): the library's own queue
    // only passes each accepted socket on, at once, on the accepting thread.
    struct PassOn : httplib::TaskQueue {
        void enqueue(std::function<void()> fn) override { fn(); }
        void shutdown() override {}
    };
    new_task_queue = [] { return new PassOn; };
}

ReceptionServer::~ReceptionServer()
{
    if (m_reception)
        m_reception->stop();
    if (m_workers)
        m_workers->shutdown();
}

void ReceptionServer::deepenListenQueue()
{
    const int fd = svr_sock_;
    if (fd >= 0)
        ::listen(fd, m_limits.listenBacklog);
}

bool ReceptionServer::serve()
{
    m_workers = std::make_unique<httplib::ThreadPool>(m_limits.workers);
    m_reception = std::make_unique<Reception>(*this, m_limits);
    const bool ok = listen_after_bind();
    // Connections waiting for a request are closed; requests being answered finish.
    m_reception->stop();
    m_workers->shutdown();
    m_workers.reset();
    m_reception.reset();
    return ok;
}

bool ReceptionServer::process_and_close_socket(socket_t sock)
{
    auto c = std::make_unique<Connection>();
    c->fd = sock;
    const int on = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (!m_reception || m_reception->stopping())
        return false;  // closed with the object
    if (m_reception->open() >= m_limits.maxConnections) {
        const int fd = c->fd;
        c->fd = -1;
        answerAndClose(fd, "503 Service Unavailable", "Servizio occupato: troppe connessioni aperte, riprovare tra poco");
        return false;
    }
    m_reception->admit(std::move(c), m_limits.headDeadline);
    return true;
}

void ReceptionServer::answer(std::unique_ptr<Connection> connection)
{
    auto shared = std::make_shared<std::unique_ptr<Connection>>(std::move(connection));
    m_workers->enqueue([this, shared] {
        std::unique_ptr<Connection> c = std::move(*shared);
        ConnectionStream stream(*c, m_limits.writeTimeout);
        for (;;) {
            const bool closing = m_reception->stopping();
            bool closedByClient = false;
            if (!process_request(stream, closing, closedByClient, nullptr) || closedByClient || closing)
                return;  // closed with the object
            if (!c->pending.empty() && headComplete(c->pending))
                continue;  // the next pipelined request is already here
            if (c->pending.empty() && !stream.fill(int(m_limits.lingerAfterAnswer.count()))) {
                // Nothing yet: the connection waits in the reception, costing no worker
                // (which also sees it closed, when that is why nothing came).
                c->idle = true;
                m_reception->admit(std::move(c), m_limits.keepAlive);
                return;
            }
            if (!headComplete(c->pending)) {
                c->idle = false;
                m_reception->admit(std::move(c), m_limits.headDeadline);
                return;
            }
        }
    });
}
