#include "service/service_server.h"

#include "data/app_error.h"
#include "service/channel.h"
#include "data/database_refusal.h"
#include "service/handover_journal.h"
#include "service/load_invoice.h"
#include "service/notifications_reader.h"
#include "service/reception_server.h"
#include "service/request_gate.h"
#include "service/request_query.h"
#include "service/send_invoice.h"
#include "service/service_database.h"
#include "service/service_log.h"

#include <mutex>

namespace {

constexpr const char *Loopback = "127.0.0.1";
// A loading waits this long for the one before it; longer means the database is stuck.
constexpr auto LoadLockWait = std::chrono::seconds(10);

void answer(httplib::Response &res, const ServiceAnswer &a)
{
    res.status = a.status;
    const QByteArray body = a.html();
    res.set_content(body.constData(), size_t(body.size()), "text/html; charset=utf-8");
    if (a.status == 405)
        res.set_header("Allow", "GET");
}

ServiceAnswer failure(const QString &text)
{
    return {500, QStringLiteral("Errore del servizio"), QStringLiteral("La richiesta non è stata completata: %1").arg(text), {}};
}

// The page of an answer that no handler made (unknown address, a request the parser refused).
ServiceAnswer protocolRefusal(int status)
{
    switch (status) {
    case 404:
        return {404, QStringLiteral("Indirizzo sconosciuto"), QStringLiteral("Il servizio non ha questo indirizzo."), {}};
    case 414:
        return {414, QStringLiteral("Richiesta rifiutata"), QStringLiteral("L'indirizzo richiesto è troppo lungo."), {}};
    default:
        return {status, QStringLiteral("Richiesta rifiutata"), QStringLiteral("La richiesta non è valida."), {}};
    }
}

// One line per request in the service's log.
void logRequest(const httplib::Request &req, const ServiceAnswer &a)
{
    writeLogLine(QStringLiteral("%1 %2 %3: %4").arg(QString::fromStdString(req.path), QString::number(a.status), a.title, a.message));
}

} // namespace

struct ServiceServer::Impl {
    ServiceSettings settings;
    ConnectionPool &pool;
    Channel &channel;
    InvoiceSigner &signer;
    HandoverJournal journal;
    RequestGate gate;
    ReceptionServer http{ReceptionServer::Limits{}};
    std::timed_mutex loadMutex;

    Impl(const ServiceSettings &s, ConnectionPool &p, Channel &c, InvoiceSigner &g)
        : settings(s), pool(p), channel(c), signer(g), journal(s.journal), gate(s.secret, s.port)
    {
    }

    // Runs a handler with a connection of its own; errors become a page of their own.
    template <typename Handler>
    void serve(const httplib::Request &req, httplib::Response &res, Handler handler)
    {
        ServiceAnswer a;
        try {
            auto conn = pool.acquire();
            a = handler(*conn);
        } catch (const DbError &e) {
            a = failure(databaseRefusal(e));
        } catch (const std::exception &e) {
            a = failure(errorText(e));
        }
        logRequest(req, a);
        answer(res, a);
    }

    // The query of an invoice address, read strictly and carrying the installation's key;
    // nullopt when the request is answered already (refused).
    std::optional<RequestQuery> invoiceQuery(const httplib::Request &req, httplib::Response &res, const QString &title)
    {
        RequestQuery query(req.target);
        std::optional<ServiceAnswer> refusal;
        if (!query.fault().isEmpty())
            refusal = ServiceAnswer{400, title, query.fault(), {}};
        else
            refusal = gate.keyRefusal(query.value(QLatin1String(ServiceKeyName)));
        if (refusal) {
            logRequest(req, *refusal);
            answer(res, *refusal);
            return std::nullopt;
        }
        return query;
    }

    void routes()
    {
        http.set_pre_routing_handler([this](const httplib::Request &req, httplib::Response &res) {
            const std::optional<ServiceAnswer> refusal = gate.refusal(req);
            if (!refusal)
                return httplib::Server::HandlerResponse::Unhandled;
            logRequest(req, *refusal);
            answer(res, *refusal);
            return httplib::Server::HandlerResponse::Handled;
        });
        http.Get("/", [](const httplib::Request &, httplib::Response &res) {
            answer(res, {200, QStringLiteral("Servizio fatture"), QStringLiteral("Il servizio di invio e caricamento fatture è attivo."), {}});
        });
        auto send = [this](const httplib::Request &req, httplib::Response &res) {
            const auto query = invoiceQuery(req, res, QStringLiteral("Fattura non inviata"));
            if (!query)
                return;
            const SendRequest request{query->value(QStringLiteral("nome_file")), query->value(QStringLiteral("n_invio"))};
            serve(req, res, [&](DbConnection &conn) { return sendInvoice(conn, channel, journal, signer, request); });
        };
        http.Get("/Fatt_Ven/mail_sdi.php", send);
        http.Get("/Fatt_Ven/mail_sdi_pa.php", send);
        http.Get("/Fatt_Acq/read_xml.php", [this](const httplib::Request &req, httplib::Response &res) {
            const auto query = invoiceQuery(req, res, QStringLiteral("Fattura non caricata"));
            if (!query)
                return;
            const auto name = query->value(QStringLiteral("nome_file"));
            serve(req, res, [&](DbConnection &conn) {
                std::unique_lock lock(loadMutex, LoadLockWait);
                if (!lock.owns_lock())
                    return ServiceAnswer{503, QStringLiteral("Fattura non caricata"),
                                         QStringLiteral("Un altro caricamento è ancora in corso: riprovare tra poco."), {}};
                return loadInvoice(conn, settings.received, name);
            });
        });
        // Every refusal has a page of its own; none repeats what the request asked for.
        http.set_error_handler([](const httplib::Request &, httplib::Response &res) {
            if (res.body.empty())
                answer(res, protocolRefusal(res.status));
        });
    }
};

ServiceServer::ServiceServer(const ServiceSettings &settings, ConnectionPool &pool, Channel &channel, InvoiceSigner &signer)
    : d(std::make_unique<Impl>(settings, pool, channel, signer))
{
    d->routes();
}

ServiceServer::~ServiceServer() = default;

void ServiceServer::serveNotifications(NotificationsReader &reader)
{
    d->http.Get("/Fatt_Ven/notifiche.php", [this, &reader](const httplib::Request &req, httplib::Response &res) {
        if (!d->invoiceQuery(req, res, QStringLiteral("Messaggi SDI non letti")))
            return;
        ServiceAnswer a;
        try {
            a = reader.readNow();
        } catch (const std::exception &e) {
            a = failure(errorText(e));
        }
        logRequest(req, a);
        answer(res, a);
    });
}

int ServiceServer::bind(int port)
{
    const int bound = port == 0 ? d->http.bind_to_any_port(Loopback) : (d->http.bind_to_port(Loopback, port) ? port : -1);
    if (bound > 0) {
        d->http.deepenListenQueue();
        d->gate.setPort(bound);
    }
    return bound;
}

bool ServiceServer::run()
{
    return d->http.serve();
}

void ServiceServer::stop()
{
    d->http.stop();
}
