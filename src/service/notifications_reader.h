#pragma once
// The reading of the exchange system's answers: with the "pec" channel the PEC mailbox
// first (messages go into the notifications folder, received invoices into the received
// folder), then the notifications folder. It runs every `notifiche_intervallo` seconds on a
// thread of its own and on request (/Fatt_Ven/notifiche.php); readings never overlap. Every
// file handled and every failure is a line of the service's log.
#include "service/html_page.h"
#include "service/pec_mailbox.h"
#include "settings/service_settings.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class ConnectionPool;
class NotificationsFolder;

class NotificationsReader {
public:
    NotificationsReader(const ServiceSettings &settings, ConnectionPool &pool);
    ~NotificationsReader();
    NotificationsReader(const NotificationsReader &) = delete;
    NotificationsReader &operator=(const NotificationsReader &) = delete;

    // One reading now; the answer page says what was read and what failed.
    ServiceAnswer readNow();
    // Reads every `seconds` (none when 0 or less) until stop().
    void startPeriodic(int seconds);
    void stop();

    // What one mail carried, saved.
    MailHandling saveMail(const QByteArray &mail, QString *why);

private:
    void log(const QString &line);

    ServiceSettings m_settings;
    ConnectionPool &m_pool;
    std::unique_ptr<NotificationsFolder> m_folder;
    std::unique_ptr<PecMailbox> m_mailbox;
    QString m_mailboxProblem;  // settings of the mailbox that cannot work
    std::mutex m_reading;
    std::mutex m_stopMutex;
    std::condition_variable m_stopSignal;
    bool m_stopping = false;
    std::thread m_thread;
};
