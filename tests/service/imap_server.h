#pragma once
// A small IMAP server on the loopback interface for the tests of the PEC mailbox: one
// mailbox of mails with their \Seen flags, LOGIN with the credentials it is given, SELECT
// (read-write) and EXAMINE (read-only), UID SEARCH UNSEEN, UID FETCH <uid> BODY[] (which,
// as in a real server, marks the mail read unless the mailbox is open read-only) and
// UID STORE of \Seen. It keeps every command it got, and calls a test's hook when a mail is
// about to be marked read.
#include "loopback_listener.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <mutex>

namespace ServiceTest {

struct Mail {
    qulonglong uid = 0;
    QByteArray content;
    bool seen = false;
};

class ImapServer {
public:
    ImapServer(QByteArray user, QByteArray password) : m_user(std::move(user)), m_password(std::move(password)) {}

    int port() const { return m_listener.port(); }

    // Adds a mail; returns its unique identifier.
    qulonglong add(const QByteArray &content, bool seen = false)
    {
        std::lock_guard lock(m_mutex);
        m_mails.append({m_nextUid, content, seen});
        return m_nextUid++;
    }
    QList<Mail> mails()
    {
        std::lock_guard lock(m_mutex);
        return m_mails;
    }
    bool seen(qulonglong uid)
    {
        std::lock_guard lock(m_mutex);
        for (const Mail &m : m_mails)
            if (m.uid == uid)
                return m.seen;
        return false;
    }
    QList<QByteArray> commands()
    {
        std::lock_guard lock(m_mutex);
        return m_commands;
    }
    // Called (on the server's thread) before a mail is marked read by UID STORE.
    void onMarkRead(std::function<void(qulonglong uid)> hook)
    {
        std::lock_guard lock(m_mutex);
        m_onMarkRead = std::move(hook);
    }

private:
    static void send(int fd, const QByteArray &text) { LoopbackListener::send(fd, text); }
    static bool readLine(int fd, QByteArray &buffer, QByteArray &line) { return LoopbackListener::readLine(fd, buffer, line); }

    static QByteArray unquoted(QByteArray word)
    {
        if (word.size() >= 2 && word.startsWith('"') && word.endsWith('"'))
            return word.mid(1, word.size() - 2);
        return word;
    }

    void session(int fd)
    {
        QByteArray buffer, line;
        bool loggedIn = false, selected = false, readOnly = false;
        send(fd, "* OK IMAP4rev1 test server ready\r\n");
        while (readLine(fd, buffer, line)) {
            {
                std::lock_guard lock(m_mutex);
                m_commands << line;
            }
            const QList<QByteArray> words = line.split(' ');
            const QByteArray tag = words.value(0);
            QByteArray verb = words.value(1).toUpper();
            int arg = 2;
            const bool uid = verb == "UID";
            if (uid)
                verb = words.value(arg++).toUpper();
            if (verb == "CAPABILITY") {
                send(fd, "* CAPABILITY IMAP4rev1\r\n" + tag + " OK CAPABILITY completed\r\n");
            } else if (verb == "LOGIN") {
                loggedIn = unquoted(words.value(2)) == m_user && unquoted(words.value(3)) == m_password;
                send(fd, tag + (loggedIn ? " OK LOGIN completed\r\n" : " NO [AUTHENTICATIONFAILED] Invalid credentials\r\n"));
            } else if (!loggedIn) {
                send(fd, tag + " NO not logged in\r\n");
            } else if (verb == "SELECT" || verb == "EXAMINE") {
                selected = unquoted(words.value(2)).toUpper() == "INBOX";
                readOnly = verb == "EXAMINE";
                if (!selected) {
                    send(fd, tag + " NO no such mailbox\r\n");
                    continue;
                }
                std::lock_guard lock(m_mutex);
                send(fd, "* " + QByteArray::number(m_mails.size()) + " EXISTS\r\n* OK [UIDVALIDITY 7] UIDs valid\r\n" + tag
                             + (readOnly ? " OK [READ-ONLY] EXAMINE completed\r\n" : " OK [READ-WRITE] SELECT completed\r\n"));
            } else if (!selected) {
                send(fd, tag + " BAD no mailbox selected\r\n");
            } else if (uid && verb == "SEARCH") {
                QByteArray found = "* SEARCH";
                {
                    std::lock_guard lock(m_mutex);
                    for (const Mail &m : m_mails)
                        if (!m.seen)
                            found += ' ' + QByteArray::number(m.uid);
                }
                send(fd, found + "\r\n" + tag + " OK SEARCH completed\r\n");
            } else if (uid && verb == "FETCH") {
                const qulonglong wanted = words.value(arg).toULongLong();
                std::unique_lock lock(m_mutex);
                qsizetype index = -1;
                for (qsizetype i = 0; i < m_mails.size(); ++i)
                    if (m_mails[i].uid == wanted)
                        index = i;
                if (index < 0) {
                    lock.unlock();
                    send(fd, tag + " OK FETCH completed\r\n");
                    continue;
                }
                Mail &m = m_mails[index];
                if (!readOnly)
                    m.seen = true;  // BODY[] sets \Seen in a mailbox open for writing
                const QByteArray content = m.content;
                lock.unlock();
                send(fd, "* " + QByteArray::number(index + 1) + " FETCH (UID " + QByteArray::number(wanted) + " BODY[] {"
                             + QByteArray::number(content.size()) + "}\r\n");
                send(fd, content);
                send(fd, ")\r\n" + tag + " OK FETCH completed\r\n");
            } else if (uid && verb == "STORE") {
                const qulonglong wanted = words.value(arg).toULongLong();
                const QByteArray change = words.value(arg + 1).toUpper();
                if (readOnly) {
                    send(fd, tag + " NO mailbox is read-only\r\n");
                    continue;
                }
                std::function<void(qulonglong)> hook;
                {
                    std::lock_guard lock(m_mutex);
                    hook = m_onMarkRead;
                }
                if (change.startsWith('+') && hook)
                    hook(wanted);
                std::lock_guard lock(m_mutex);
                for (Mail &m : m_mails)
                    if (m.uid == wanted)
                        m.seen = change.startsWith('+');
                send(fd, tag + " OK STORE completed\r\n");
            } else if (verb == "LOGOUT") {
                send(fd, "* BYE\r\n" + tag + " OK LOGOUT completed\r\n");
                return;
            } else if (verb == "NOOP" || verb == "CLOSE") {
                send(fd, tag + " OK\r\n");
            } else {
                send(fd, tag + " BAD unknown command\r\n");
            }
        }
    }

    QByteArray m_user, m_password;
    std::mutex m_mutex;
    QList<Mail> m_mails;
    qulonglong m_nextUid = 101;
    QList<QByteArray> m_commands;
    std::function<void(qulonglong)> m_onMarkRead;
    LoopbackListener m_listener{[this](int fd) { session(fd); }};  // last: stops first
};

} // namespace ServiceTest
