#include "service/notifications_reader.h"

#include "data/app_error.h"
#include "data/db_connection.h"
#include "service/mail_attachments.h"
#include "service/notifications_folder.h"
#include "service/pec_mailbox.h"
#include "receiving/received_invoice.h"
#include "service/service_database.h"
#include "service/service_log.h"

#include <QDir>
#include <QRegularExpression>


namespace {

// A message file of the exchange system: <invoice file without extension>_<type>_<progressive>.xml.
QString messageType(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9]+_[A-Za-z0-9]+_(RC|NS|MC|NE|DT|AT|EC|SE|MT)_[A-Za-z0-9]{1,3}\\.xml$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

bool isInvoiceFile(const QString &name)
{
    const QString lower = name.toLower();
    return (lower.endsWith(QLatin1String(".xml")) || lower.endsWith(QLatin1String(".xml.p7m"))) && lower != QLatin1String("daticert.xml");
}

} // namespace

NotificationsReader::NotificationsReader(const ServiceSettings &settings, ConnectionPool &pool)
    : m_settings(settings), m_pool(pool), m_folder(std::make_unique<NotificationsFolder>(settings.notifiche))
{
    if (settings.channel.compare(QLatin1String("pec"), Qt::CaseInsensitive) == 0) {
        try {
            m_mailbox = std::make_unique<PecMailbox>(settings);
        } catch (const AppError &e) {
            m_mailboxProblem = e.text();
        }
    }
}

NotificationsReader::~NotificationsReader() { stop(); }

void NotificationsReader::log(const QString &line) { writeLogLine(QStringLiteral("notifiche: ") + line); }

MailHandling NotificationsReader::saveMail(const QByteArray &mail, QString *why)
{
    bool safe = true, carried = false;
    for (const MailAttachment &a : mailAttachments(mail)) {
        const QString type = messageType(a.fileName);
        QString error;
        bool saved = true;
        carried = carried || !type.isEmpty() || isInvoiceFile(a.fileName);
        if (type == QLatin1String("MT")) {
            // The metadata of a received invoice, kept beside it (out of the list of invoices to load).
            const QString path = QDir(m_settings.received).filePath(QStringLiteral("metadati/") + a.fileName);
            saved = !writeFileSafely(path, a.content, &error).isEmpty();
            if (saved)
                log(QStringLiteral("metadati %1 salvati in %2").arg(a.fileName, QFileInfo(path).absolutePath()));
        } else if (!type.isEmpty()) {
            saved = m_folder->deposit(a.fileName, a.content, &error);
            if (saved)
                log(QStringLiteral("messaggio %1 dalla casella PEC messo in %2").arg(a.fileName, m_folder->folder()));
        } else if (isInvoiceFile(a.fileName)) {
            if (!isBareReceivedName(a.fileName)) {
                error = QStringLiteral("nome del file ricevuto non ammesso: \"%1\"").arg(a.fileName);
                saved = false;
            } else {
                const QString given = writeFileSafely(QDir(m_settings.received).filePath(a.fileName), a.content, &error);
                saved = !given.isEmpty();
                if (saved)
                    log(QStringLiteral("fattura ricevuta %1 salvata in %2").arg(given, m_settings.received));
            }
        }
        if (!saved) {
            safe = false;
            *why += (why->isEmpty() ? QString() : QStringLiteral("; ")) + error;
        }
    }
    if (!carried)
        return MailHandling::Nothing;
    return safe ? MailHandling::Saved : MailHandling::Failed;
}

ServiceAnswer NotificationsReader::readNow()
{
    std::lock_guard lock(m_reading);
    ServiceAnswer answer{200, QStringLiteral("Messaggi SDI letti"), QString(), {}};
    QString mailboxText;
    if (!m_mailboxProblem.isEmpty()) {
        log(m_mailboxProblem);
        answer.status = 502;
        answer.title = QStringLiteral("Casella PEC non letta");
        mailboxText = m_mailboxProblem + QStringLiteral(". ");
    } else if (m_mailbox) {
        const MailboxReading mail = m_mailbox->readUnread([this](const QByteArray &bytes, QString *why) { return saveMail(bytes, why); });
        if (!mail.error.isEmpty())
            log(mail.error);
        if (!mail.reached) {
            answer.status = 502;
            answer.title = QStringLiteral("Casella PEC non raggiungibile");
            mailboxText = mail.error + QStringLiteral(": nessun messaggio letto né cancellato, si riproverà. ");
        } else {
            mailboxText = QStringLiteral("Casella PEC %1: %2 messaggi letti").arg(m_mailbox->address()).arg(mail.read);
            if (mail.kept > 0)
                mailboxText += QStringLiteral(", %1 lasciati da leggere (%2)").arg(mail.kept).arg(mail.error);
            if (mail.others > 0)
                mailboxText += QStringLiteral(", %1 senza messaggi SDI né fatture lasciati da leggere").arg(mail.others);
            mailboxText += QStringLiteral(". ");
        }
    }

    FolderReading reading;
    try {
        auto conn = m_pool.acquire();
        reading = m_folder->readAll(*conn);
    } catch (const AppError &e) {
        reading.lines << QStringLiteral("messaggi non letti, restano in %1: database non disponibile (%2)").arg(m_folder->folder(), e.text());
        if (answer.status == 200)
            answer.status = 503;
    }
    for (const QString &line : reading.lines)
        log(line);
    answer.message = mailboxText
                     + QStringLiteral("Cartella %1: %2 messaggi registrati, %3 già registrati, %4 messi da parte, %5 in attesa.")
                           .arg(m_folder->folder())
                           .arg(reading.stored)
                           .arg(reading.duplicates)
                           .arg(reading.setAside)
                           .arg(reading.waiting);
    answer.items = reading.lines;
    return answer;
}

void NotificationsReader::startPeriodic(int seconds)
{
    if (seconds <= 0 || m_thread.joinable())
        return;
    m_thread = std::thread([this, seconds] {
        std::unique_lock lock(m_stopMutex);
        while (!m_stopping) {
            lock.unlock();
            try {
                readNow();
            } catch (const std::exception &e) {
                log(QStringLiteral("lettura non riuscita: %1").arg(errorText(e)));
            }
            lock.lock();
            m_stopSignal.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_stopping; });
        }
    });
}

void NotificationsReader::stop()
{
    {
        std::lock_guard lock(m_stopMutex);
        m_stopping = true;
    }
    m_stopSignal.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}
