#pragma once
// The socket side of the tests' small mail servers: a listening socket on a free port of the
// loopback interface and a thread that serves one client at a time through the session
// given, with the line reading and writing the sessions share. Declared as the last member
// of its server, so that the thread stops before the server's own state goes.
#include <QByteArray>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <thread>

namespace ServiceTest {

class LoopbackListener {
public:
    // `session` talks with one client (its socket) until it returns; the socket is closed after.
    explicit LoopbackListener(std::function<void(int fd)> session) : m_session(std::move(session))
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        socklen_t len = sizeof addr;
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(m_listener, 8) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        m_thread = std::thread([this] { serve(); });
    }

    ~LoopbackListener()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        if (m_thread.joinable())
            m_thread.join();
    }

    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    int port() const { return m_port; }

    static void send(int fd, const QByteArray &text) { (void)!::write(fd, text.constData(), size_t(text.size())); }

    // Reads one line (without CR LF) through `buffer`; false when the client went away.
    static bool readLine(int fd, QByteArray &buffer, QByteArray &line)
    {
        for (;;) {
            const qsizetype end = buffer.indexOf("\r\n");
            if (end >= 0) {
                line = buffer.left(end);
                buffer.remove(0, end + 2);
                return true;
            }
            char chunk[4096];
            const ssize_t n = ::read(fd, chunk, sizeof chunk);
            if (n <= 0)
                return false;
            buffer.append(chunk, n);
        }
    }

private:
    void serve()
    {
        for (;;) {
            const int client = ::accept(m_listener, nullptr, nullptr);
            if (client < 0)
                return;
            m_session(client);
            ::close(client);
        }
    }

    std::function<void(int)> m_session;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
};

} // namespace ServiceTest
