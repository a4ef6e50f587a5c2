#include "service/request_gate.h"

#include <httplib.h>
#include <openssl/crypto.h>

#include <algorithm>
#include <cctype>

namespace {

ServiceAnswer refused(int status, const QString &message)
{
    return {status, QStringLiteral("Richiesta rifiutata"), message, {}};
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace

RequestGate::RequestGate(QString secret, int port) : m_secret(secret.toUtf8()), m_port(port) {}

bool RequestGate::ownHost(const std::string &host) const
{
    const std::string port = ":" + std::to_string(m_port);
    const std::string h = lower(host);
    return h == "localhost" + port || h == "127.0.0.1" + port;
}

bool RequestGate::ownOrigin(const std::string &origin) const
{
    const std::string o = lower(origin);
    return o.rfind("http://", 0) == 0 && ownHost(o.substr(7));
}

bool RequestGate::ownReferer(const std::string &referer) const
{
    const std::string r = lower(referer);
    if (r.rfind("http://", 0) != 0)
        return false;
    const size_t slash = r.find('/', 7);
    return slash != std::string::npos && ownHost(r.substr(7, slash - 7));
}

std::optional<ServiceAnswer> RequestGate::refusal(const httplib::Request &req) const
{
    if (req.method != "GET")
        return refused(405, QStringLiteral("Il servizio risponde solo a richieste GET."));
    if (req.get_header_value_count("Host") != 1 || !ownHost(req.get_header_value("Host")))
        return refused(421, QStringLiteral("La richiesta non è indirizzata a questo servizio (localhost o 127.0.0.1 con la sua porta)."));
    const QString crossSite = QStringLiteral("Le richieste che arrivano da altri siti non sono ammesse: il servizio va usato dal programma.");
    if (req.has_header("Sec-Fetch-Site")) {
        const std::string site = lower(req.get_header_value("Sec-Fetch-Site"));
        if (req.get_header_value_count("Sec-Fetch-Site") != 1 || (site != "none" && site != "same-origin"))
            return refused(403, crossSite);
    }
    for (size_t i = 0; i < req.get_header_value_count("Origin"); ++i)
        if (!ownOrigin(req.get_header_value("Origin", i)))
            return refused(403, crossSite);
    for (size_t i = 0; i < req.get_header_value_count("Referer"); ++i)
        if (!ownReferer(req.get_header_value("Referer", i)))
            return refused(403, crossSite);
    return std::nullopt;
}

std::optional<ServiceAnswer> RequestGate::keyRefusal(const std::optional<QString> &key) const
{
    const QByteArray given = key ? key->toUtf8() : QByteArray();
    const bool same = !m_secret.isEmpty() && given.size() == m_secret.size()
        && CRYPTO_memcmp(given.constData(), m_secret.constData(), size_t(m_secret.size())) == 0;
    if (same)
        return std::nullopt;
    return refused(403, QStringLiteral("Chiave del servizio mancante o errata: gli indirizzi di invio e caricamento si aprono "
                                       "dal programma, che conosce la chiave di questa installazione (servizio.ini)."));
}
