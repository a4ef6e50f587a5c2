#pragma once
// A small SMTP server on the loopback interface for the tests of the PEC channel: it takes
// every message (plain SMTP, AUTH PLAIN accepted with any credentials) and keeps what it got.
#include "loopback_listener.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace ServiceTest {

struct SmtpMessage {
    QByteArray auth;        // the AUTH PLAIN credentials, decoded ("\0user\0password")
    QByteArray mailFrom;    // the address of MAIL FROM, without brackets
    std::vector<QByteArray> recipients;
    QByteArray data;        // the message as sent, dot-stuffing undone
};

class SmtpSink {
public:
    SmtpSink() = default;

    int port() const { return m_listener.port(); }

    // The messages received so far, after waiting up to `timeout` for at least `count`.
    std::vector<SmtpMessage> messages(size_t count = 0, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, timeout, [&] { return m_messages.size() >= count; });
        return m_messages;
    }

private:
    static void send(int fd, const QByteArray &text) { LoopbackListener::send(fd, text); }
    static bool readLine(int fd, QByteArray &buffer, QByteArray &line) { return LoopbackListener::readLine(fd, buffer, line); }

    static QByteArray between(const QByteArray &line, char open, char close)
    {
        const qsizetype a = line.indexOf(open), b = line.lastIndexOf(close);
        return a >= 0 && b > a ? line.mid(a + 1, b - a - 1) : QByteArray();
    }

    void session(int fd)
    {
        QByteArray buffer, line;
        SmtpMessage message;
        send(fd, "220 sink ESMTP\r\n");
        while (readLine(fd, buffer, line)) {
            const QByteArray verb = line.left(4).toUpper();
            if (verb == "EHLO") {
                send(fd, "250-sink\r\n250-AUTH PLAIN\r\n250 8BITMIME\r\n");
            } else if (verb == "HELO") {
                send(fd, "250 sink\r\n");
            } else if (verb == "AUTH") {
                // "AUTH PLAIN <credentials>", or "AUTH PLAIN" and the credentials on the next line
                QByteArray credentials = line.split(' ').value(2);
                if (credentials.isEmpty()) {
                    send(fd, "334 \r\n");
                    if (!readLine(fd, buffer, credentials))
                        return;
                }
                message.auth = QByteArray::fromBase64(credentials);
                send(fd, "235 ok\r\n");
            } else if (verb == "MAIL") {
                message.mailFrom = between(line, '<', '>');
                send(fd, "250 ok\r\n");
            } else if (verb == "RCPT") {
                message.recipients.push_back(between(line, '<', '>'));
                send(fd, "250 ok\r\n");
            } else if (verb == "DATA") {
                send(fd, "354 go on\r\n");
                while (readLine(fd, buffer, line) && line != ".") {
                    if (line.startsWith(".."))
                        line.remove(0, 1);
                    message.data += line + "\r\n";
                }
                {
                    std::lock_guard lock(m_mutex);
                    m_messages.push_back(message);
                }
                m_changed.notify_all();
                message = SmtpMessage{};
                send(fd, "250 queued\r\n");
            } else if (verb == "QUIT") {
                send(fd, "221 bye\r\n");
                return;
            } else {
                send(fd, "250 ok\r\n");
            }
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<SmtpMessage> m_messages;
    LoopbackListener m_listener{[this](int fd) { session(fd); }};  // last: stops first
};

} // namespace ServiceTest
