// The local sending and loading service: serves the sending and loading addresses that the
// application opens on http://localhost:<port>. Started with no argument it reads
// servizio.ini from the current folder; its one argument names another settings file.
// It stops on SIGTERM or SIGINT.
#include "data/app_error.h"
#include "service/channel.h"
#include "data/db_connection.h"
#include "service/handover_journal.h"
#include "service/handover_reconcile.h"
#include "service/invoice_signing.h"
#include "service/notifications_reader.h"
#include "checks/presend_check.h"
#include "receiving/sdi_message_schema.h"
#include "service/service_database.h"
#include "service/service_server.h"
#include "settings/service_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <curl/curl.h>
#include <libxml/parser.h>
#include <mysql.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

namespace {

// A secret shorter than this could be guessed by a page that tries addresses.
constexpr qsizetype MinimumSecretLength = 16;

void fail(const QString &text)
{
    std::fprintf(stderr, "fatture-service: %s\n", text.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    // Signals are taken by one thread of their own (sigwait), never by a serving thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    QCoreApplication app(argc, argv);
    if (argc > 2) {
        fail(QStringLiteral("uso: fatture-service [servizio.ini]"));
        return 2;
    }
    const QString settingsPath = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("servizio.ini");
    const ServiceSettings settings = loadServiceSettings(settingsPath);
    if (settings.secret.size() < MinimumSecretLength) {
        fail(QStringLiteral("manca la chiave segreta dell'installazione in %1 (secret=, almeno %2 caratteri): ./run la crea")
                 .arg(settingsPath)
                 .arg(MinimumSecretLength));
        return 1;
    }
    if (QFileInfo(settingsPath).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther))
        fail(QStringLiteral("attenzione: %1 contiene la chiave segreta ma è leggibile da altri utenti (chmod 600 %1)").arg(settingsPath));

    if (!settings.schema.isEmpty()) {
        setPresendSchemaFolder(settings.schema);
        SdiMessageSchema::file().setFolder(settings.schema);
    }
    const QString schemaFile = presendSchemaFolder() + QStringLiteral("/Schema_VFPA12_V1.2.3.local.xsd");
    if (!QFileInfo::exists(schemaFile)) {
        fail(QStringLiteral("schema FatturaPA non trovato: %1").arg(schemaFile));
        return 1;
    }

    // The libraries' process-wide set-up, before any serving thread starts.
    mysql_library_init(0, nullptr, nullptr);
    curl_global_init(CURL_GLOBAL_DEFAULT);
    xmlInitParser();

    int status = 0;
    try {
        ConnectionPool pool(databaseEndpoint(settings, QFileInfo(settingsPath).absolutePath()));
        const auto channel = makeChannel(settings);
        InvoiceSigner signer(loadSigningSettings(settingsPath));
        try {
            auto conn = pool.acquire();
            // Hand-overs cut short by an earlier stop are settled before any new sending.
            HandoverJournal journal(settings.journal);
            for (const QString &line : settleAllHandovers(*conn, *channel, journal))
                std::printf("fatture-service: %s\n", line.toUtf8().constData());
        } catch (const AppError &e) {
            fail(QStringLiteral("database %1 non raggiungibile per ora (%2): ogni richiesta riproverà")
                     .arg(pool.endpoint().database, e.text()));
        }
        ServiceServer server(settings, pool, *channel, signer);
        NotificationsReader notifications(settings, pool);
        server.serveNotifications(notifications);
        const int port = server.bind(settings.port);
        if (port < 0) {
            fail(QStringLiteral("impossibile ascoltare su 127.0.0.1:%1 (porta occupata?)").arg(settings.port));
            return 1;
        }
        std::printf("fatture-service: in ascolto su http://127.0.0.1:%d (database %s, canale %s, %s)\n", port,
                    pool.endpoint().database.toUtf8().constData(), settings.channel.toUtf8().constData(),
                    signer.description().toUtf8().constData());
        std::fflush(stdout);

        notifications.startPeriodic(settings.notificheIntervallo);
        std::thread signalWaiter([&] {
            int signal = 0;
            sigwait(&stopSignals, &signal);
            server.stop();
        });
        if (!server.run()) {
            fail(QStringLiteral("il servizio si è fermato per un errore di rete"));
            status = 1;
        }
        pthread_kill(signalWaiter.native_handle(), SIGTERM);  // wakes the waiter when the server stopped by itself
        signalWaiter.join();
        notifications.stop();
    } catch (const AppError &e) {
        fail(e.text());
        status = 1;
    }
    curl_global_cleanup();
    xmlCleanupParser();
    mysql_library_end();
    return status;
}
