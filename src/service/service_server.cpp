#include "service_server.h"

#include "app_error.h"
#include "channel.h"
#include "load_invoice.h"
#include "notifications_reader.h"
#include "send_invoice.h"
#include "service_database.h"

#include <httplib.h>

#include <QDateTime>
#include <cstdio>
#include <mutex>

namespace {

constexpr const char *Loopback = "127.0.0.1";
constexpr size_t Workers = 4;

void answer(httplib::Response &res, const ServiceAnswer &a)
{
    res.status = a.status;
    const QByteArray body = a.html();
    res.set_content(body.constData(), size_t(body.size()), "text/html; charset=utf-8");
}

// The value of a query key: nullopt when absent; a key given twice is refused by the caller.
std::optional<QString> param(const httplib::Request &req, const char *key)
{
    if (!req.has_param(key))
        return std::nullopt;
    return QString::fromStdString(req.get_param_value(key));
}

bool repeats(const httplib::Request &req, std::initializer_list<const char *> keys)
{
    for (const char *key : keys)
        if (req.get_param_value_count(key) > 1)
            return true;
    return false;
}

ServiceAnswer repeatedKey(const QString &title)
{
    return {400, title, QStringLiteral("Una chiave della richiesta è ripetuta con valori diversi."), {}};
}

ServiceAnswer failure(const QString &text)
{
    return {500, QStringLiteral("Errore del servizio"), QStringLiteral("La richiesta non è stata completata: %1").arg(text), {}};
}

// One line per request on the standard output, for the log file of the scripts; control
// characters of a request (a line break in a refused name) never start a line of their own.
void logRequest(const httplib::Request &req, const ServiceAnswer &a)
{
    QString text = QStringLiteral("%1 %2 %3 %4: %5")
                       .arg(QDateTime::currentDateTime().toString(Qt::ISODate), QString::fromStdString(req.path))
                       .arg(a.status)
                       .arg(a.title, a.message);
    for (QChar &c : text)
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    const QByteArray line = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

} // namespace

struct ServiceServer::Impl {
    ServiceSettings settings;
    ConnectionPool &pool;
    Channel &channel;
    httplib::Server http;
    std::mutex loadMutex;

    Impl(const ServiceSettings &s, ConnectionPool &p, Channel &c) : settings(s), pool(p), channel(c) {}

    // Runs a handler with a connection of its own; errors become a page of their own.
    template <typename Handler>
    void serve(const httplib::Request &req, httplib::Response &res, Handler handler)
    {
        ServiceAnswer a;
        try {
            auto conn = pool.acquire();
            a = handler(*conn);
        } catch (const AppError &e) {
            a = failure(e.text());
        } catch (const std::exception &e) {
            a = failure(QString::fromUtf8(e.what()));
        }
        logRequest(req, a);
        answer(res, a);
    }

    void routes()
    {
        http.new_task_queue = [] { return new httplib::ThreadPool(Workers); };
        // Headers and body go out in separate writes: without this, a client that keeps its
        // connection open waits for the delayed acknowledgement on every request.
        http.set_tcp_nodelay(true);
        http.Get("/", [](const httplib::Request &, httplib::Response &res) {
            answer(res, {200, QStringLiteral("Servizio fatture"), QStringLiteral("Il servizio di invio e caricamento fatture è attivo."), {}});
        });
        auto send = [this](const httplib::Request &req, httplib::Response &res) {
            if (repeats(req, {"nome_file", "n_invio"}))
                return answer(res, repeatedKey(QStringLiteral("Fattura non inviata")));
            const SendRequest request{param(req, "nome_file"), param(req, "n_invio")};
            serve(req, res, [&](DbConnection &conn) { return sendInvoice(conn, channel, request); });
        };
        http.Get("/Fatt_Ven/mail_sdi.php", send);
        http.Get("/Fatt_Ven/mail_sdi_pa.php", send);
        http.Get("/Fatt_Acq/read_xml.php", [this](const httplib::Request &req, httplib::Response &res) {
            if (repeats(req, {"nome_file"}))
                return answer(res, repeatedKey(QStringLiteral("Fattura non caricata")));
            const auto name = param(req, "nome_file");
            serve(req, res, [&](DbConnection &conn) {
                std::lock_guard lock(loadMutex);
                return loadInvoice(conn, settings.received, name);
            });
        });
        http.set_error_handler([](const httplib::Request &, httplib::Response &res) {
            if (res.status == 404 && res.body.empty())
                answer(res, {404, QStringLiteral("Indirizzo sconosciuto"), QStringLiteral("Il servizio non ha questo indirizzo."), {}});
        });
    }
};

ServiceServer::ServiceServer(const ServiceSettings &settings, ConnectionPool &pool, Channel &channel)
    : d(std::make_unique<Impl>(settings, pool, channel))
{
    d->routes();
}

ServiceServer::~ServiceServer() = default;

void ServiceServer::serveNotifications(NotificationsReader &reader)
{
    d->http.Get("/Fatt_Ven/notifiche.php", [&reader](const httplib::Request &req, httplib::Response &res) {
        ServiceAnswer a;
        try {
            a = reader.readNow();
        } catch (const std::exception &e) {
            a = failure(QString::fromUtf8(e.what()));
        }
        logRequest(req, a);
        answer(res, a);
    });
}

int ServiceServer::bind(int port)
{
    if (port == 0)
        return d->http.bind_to_any_port(Loopback);
    return d->http.bind_to_port(Loopback, port) ? port : -1;
}

bool ServiceServer::run()
{
    return d->http.listen_after_bind();
}

void ServiceServer::stop()
{
    d->http.stop();
}
