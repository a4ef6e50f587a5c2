#pragma once
// The HTTP side of the service, on 127.0.0.1 only:
//   GET /                          a short page saying that the service runs
//   GET /Fatt_Ven/mail_sdi.php     nome_file, n_invio: send an invoice (private customers)
//   GET /Fatt_Ven/mail_sdi_pa.php  the same for public administrations
//   GET /Fatt_Acq/read_xml.php     nome_file: load a received invoice
//   GET /Fatt_Ven/notifiche.php    read the exchange system's answers now
// Requests run on a small pool of threads, each with a database connection of its own;
// loadings run one at a time, so that the same file never gets loaded twice at once.
#include "settings/service_settings.h"

#include <memory>

class Channel;
class ConnectionPool;
class InvoiceSigner;
class NotificationsReader;

class ServiceServer {
public:
    ServiceServer(const ServiceSettings &settings, ConnectionPool &pool, Channel &channel, InvoiceSigner &signer);
    ~ServiceServer();
    ServiceServer(const ServiceServer &) = delete;
    ServiceServer &operator=(const ServiceServer &) = delete;

    // Serves /Fatt_Ven/notifiche.php with `reader` (which outlives the server).
    void serveNotifications(NotificationsReader &reader);
    // Binds 127.0.0.1:port (0: any free port); returns the port bound, or -1.
    int bind(int port);
    // Serves until stop(); returns false when listening failed.
    bool run();
    // Safe from any thread.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
