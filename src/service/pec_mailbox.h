#pragma once
// The PEC mailbox read over IMAP (libcurl), with TLS from the start ("ssl"), raised to TLS
// before the log-in ("starttls"), or without TLS ("none", only for a test server on the
// loopback interface). Unread mails are fetched from a read-only view of the mailbox, so
// that fetching does not mark them read; a mail is marked read only once its handler says
// that what it carried is safely on disk. A mail that carries nothing for the program (the
// provider's own receipts, other correspondence) stays unread for the user, and is not
// fetched again while the service runs. Nothing is ever deleted. The log-in never appears
// in a message.
#include "settings/service_settings.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <functional>
#include <mutex>

struct MailboxReading {
    bool reached = false;  // the mailbox could be opened and searched
    QString error;         // Italian, when it could not (or a mail could not be handled)
    int read = 0;          // mails handled and marked read
    int kept = 0;          // mails left unread (their handler failed)
    int others = 0;        // mails that carried nothing for the program, left unread
};

// What a mail's handler did with it.
enum class MailHandling {
    Saved,    // what it carried is safely on disk: mark it read
    Nothing,  // it carried nothing for the program: leave it as it is
    Failed,   // something could not be saved: leave it unread, for the next reading
};

class PecMailbox {
public:
    // Raises AppError for settings that cannot work (no server, unknown security, "none"
    // on a server that is not this machine, a mailbox name with unusual characters).
    explicit PecMailbox(const ServiceSettings &settings);

    // The largest mail fetched.
    static constexpr qint64 MaxMailSize = 40 * 1024 * 1024;

    // Handles every unread mail; `why` explains a failure.
    MailboxReading readUnread(const std::function<MailHandling(const QByteArray &mail, QString *why)> &handler);

    // "imaps://server:port/INBOX", without log-in: for messages.
    QString address() const;

private:
    QString m_server, m_user, m_password, m_security, m_mailbox;
    int m_port;
    std::mutex m_mutex;
    QSet<qulonglong> m_others;  // unread mails that carry nothing for the program
};
