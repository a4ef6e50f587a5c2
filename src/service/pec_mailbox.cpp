#include "service/pec_mailbox.h"

#include "data/app_error.h"

#include <QRegularExpression>
#include <QUrl>
#include <curl/curl.h>

#include <memory>

namespace {

bool isLoopback(const QString &server)
{
    return server == QLatin1String("localhost") || server == QLatin1String("::1") || server.startsWith(QLatin1String("127."));
}

// One IMAP conversation: every request goes over the same connection, so that the mailbox
// the server has open (read-only or not) is the one the requests before left open.
class Session {
public:
    Session(const QString &user, const QString &password, bool starttls)
        : m_curl(curl_easy_init()), m_user(user.toUtf8()), m_password(password.toUtf8())
    {
        if (!m_curl)
            throw AppError(QStringLiteral("libcurl non disponibile"));
        CURL *c = m_curl.get();
        if (!m_user.isEmpty()) {
            curl_easy_setopt(c, CURLOPT_USERNAME, m_user.constData());
            curl_easy_setopt(c, CURLOPT_PASSWORD, m_password.constData());
        }
        if (starttls)
            curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 15L);
        curl_easy_setopt(c, CURLOPT_TIMEOUT, 300L);
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Session::write);
        curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_error);
    }

    // Runs `command` on the mailbox of `url` (nullptr: the transfer the address names);
    // empty text on success, else why it failed.
    QString perform(const QByteArray &url, const char *command)
    {
        m_out.clear();
        m_tooLarge = false;
        m_error[0] = 0;
        curl_easy_setopt(m_curl.get(), CURLOPT_URL, url.constData());
        curl_easy_setopt(m_curl.get(), CURLOPT_CUSTOMREQUEST, command);
        const CURLcode rc = curl_easy_perform(m_curl.get());
        if (m_tooLarge)
            return QStringLiteral("messaggio più grande di %1 byte").arg(PecMailbox::MaxMailSize);
        if (rc != CURLE_OK)
            return QString::fromUtf8(m_error[0] ? m_error : curl_easy_strerror(rc));
        return {};
    }
    const QByteArray &output() const { return m_out; }

private:
    static size_t write(char *data, size_t size, size_t count, void *self)
    {
        auto *s = static_cast<Session *>(self);
        const size_t n = size * count;
        if (s->m_out.size() + qint64(n) > PecMailbox::MaxMailSize) {
            s->m_tooLarge = true;
            return 0;
        }
        s->m_out.append(data, qsizetype(n));
        return n;
    }

    struct CurlFree {
        void operator()(CURL *c) const { curl_easy_cleanup(c); }
    };
    std::unique_ptr<CURL, CurlFree> m_curl;
    QByteArray m_user, m_password, m_out;
    bool m_tooLarge = false;
    char m_error[CURL_ERROR_SIZE] = {};
};

// The unique identifiers of an untagged "* SEARCH 3 7 12" answer.
QList<qulonglong> searchResult(const QByteArray &answer)
{
    QList<qulonglong> uids;
    for (const QByteArray &line : answer.split('\n')) {
        const QByteArray l = line.trimmed();
        if (!l.startsWith("* SEARCH"))
            continue;
        for (const QByteArray &word : l.mid(8).simplified().split(' ')) {
            bool ok = false;
            const qulonglong uid = word.toULongLong(&ok);
            if (ok && uid > 0)
                uids << uid;
        }
    }
    return uids;
}

} // namespace

PecMailbox::PecMailbox(const ServiceSettings &s)
    : m_server(s.pecImapServer.isEmpty() ? s.pecServer : s.pecImapServer), m_user(s.pecUser), m_password(s.pecPassword),
      m_security(s.pecImapSecurity.toLower()), m_mailbox(s.pecMailbox), m_port(s.pecImapPort)
{
    if (m_server.isEmpty())
        throw AppError(QStringLiteral("casella PEC: serve pec_imap_server (o pec_server) nelle impostazioni"));
    if (m_security != QLatin1String("ssl") && m_security != QLatin1String("starttls") && m_security != QLatin1String("none"))
        throw AppError(QStringLiteral("casella PEC: pec_imap_security deve essere ssl, starttls o none, non \"%1\"").arg(s.pecImapSecurity));
    if (m_security == QLatin1String("none") && !isLoopback(m_server))
        throw AppError(QStringLiteral("casella PEC: pec_imap_security=none è ammesso solo per un server di prova su questa macchina, non per %1")
                           .arg(m_server));
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9 ._/-]{1,100}$"));
    if (!plainName.match(m_mailbox).hasMatch())
        throw AppError(QStringLiteral("casella PEC: nome della cartella non ammesso in pec_mailbox: \"%1\"").arg(m_mailbox));
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9.:-]{1,253}$"));
    if (!hostName.match(m_server).hasMatch())
        throw AppError(QStringLiteral("casella PEC: nome del server non ammesso: \"%1\"").arg(m_server));
}

QString PecMailbox::address() const
{
    const QString host = m_server.contains(QLatin1Char(':')) ? QLatin1Char('[') + m_server + QLatin1Char(']') : m_server;
    return QStringLiteral("%1://%2:%3/%4")
        .arg(m_security == QLatin1String("ssl") ? QStringLiteral("imaps") : QStringLiteral("imap"), host)
        .arg(m_port)
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(m_mailbox, "/")));
}

MailboxReading PecMailbox::readUnread(const std::function<MailHandling(const QByteArray &, QString *)> &handler)
{
    std::lock_guard lock(m_mutex);
    MailboxReading reading;
    Session session(m_user, m_password, m_security == QLatin1String("starttls"));
    const QByteArray base = address().toUtf8();
    const QByteArray quoted = '"' + m_mailbox.toUtf8() + '"';
    const QByteArray examine = "EXAMINE " + quoted, select = "SELECT " + quoted;

    QString failure = session.perform(base, "UID SEARCH UNSEEN");
    if (!failure.isEmpty()) {
        reading.error = QStringLiteral("casella PEC %1 non raggiungibile: %2").arg(address(), failure);
        return reading;
    }
    reading.reached = true;
    for (const qulonglong uid : searchResult(session.output())) {
        if (m_others.contains(uid)) {
            ++reading.others;
            continue;
        }
        const QByteArray id = QByteArray::number(uid);
        // Read-only: fetching does not mark the mail read.
        failure = session.perform(base, examine.constData());
        if (failure.isEmpty())
            failure = session.perform(base + "/;UID=" + id, nullptr);
        if (!failure.isEmpty()) {
            reading.error = QStringLiteral("casella PEC %1: messaggio %2 non letto: %3").arg(address(), QString::fromLatin1(id), failure);
            ++reading.kept;
            if (!session.perform(base, select.constData()).isEmpty())
                return reading;
            continue;
        }
        QString why;
        const MailHandling handling = handler(session.output(), &why);
        if (handling == MailHandling::Nothing) {
            // Fetched read-only: still unread for the user.
            m_others.insert(uid);
            ++reading.others;
            continue;
        }
        const bool safe = handling == MailHandling::Saved;
        // Read-write again, to set (or, had the server set it at the fetch, take back) the flag.
        failure = session.perform(base, select.constData());
        if (failure.isEmpty())
            failure = session.perform(base, ("UID STORE " + id + (safe ? " +FLAGS (\\Seen)" : " -FLAGS (\\Seen)")).constData());
        if (!safe) {
            ++reading.kept;
            reading.error = QStringLiteral("casella PEC %1: messaggio %2 lasciato da leggere: %3").arg(address(), QString::fromLatin1(id), why);
        } else if (!failure.isEmpty()) {
            reading.error = QStringLiteral("casella PEC %1: messaggio %2 salvato ma non segnato come letto: %3")
                                .arg(address(), QString::fromLatin1(id), failure);
        } else {
            ++reading.read;
        }
    }
    return reading;
}
