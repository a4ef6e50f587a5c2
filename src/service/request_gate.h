#pragma once
// What a request must show before the service does anything for it. The service sends the
// user's invoices: only the program itself may ask it to, never a web page the browser
// happens to show.
//   - GET only: no other method (HEAD included) reaches a handler;
//   - Host: localhost or 127.0.0.1 with the service's port (a page that rebinds its own name
//     to the loopback address cannot read the answers);
//   - no cross-site fetch: Sec-Fetch-Site, when sent, is "none" or "same-origin", and an
//     Origin or a Referer, when sent, is the service's own;
//   - on the sending and loading addresses, the installation's secret (query key "chiave"),
//     compared in constant time.
// A refusal page says why in general words and holds nothing of the request or the data.
#include "service/html_page.h"

#include <QString>
#include <optional>

namespace httplib {
struct Request;
}

// The query key that carries the installation's secret.
inline constexpr const char *ServiceKeyName = "chiave";

class RequestGate {
public:
    RequestGate(QString secret, int port);
    void setPort(int port) { m_port = port; }

    // The refusal of a request that may not reach any handler; nullopt to let it through.
    std::optional<ServiceAnswer> refusal(const httplib::Request &req) const;
    // The refusal of a request of an invoice address whose key (nullopt: absent) is wrong.
    std::optional<ServiceAnswer> keyRefusal(const std::optional<QString> &key) const;

private:
    bool ownHost(const std::string &host) const;
    bool ownOrigin(const std::string &origin) const;
    bool ownReferer(const std::string &referer) const;

    QByteArray m_secret;
    int m_port;
};
