#include "service/pec_channel.h"

#include "data/app_error.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>
#include <curl/curl.h>

#include <memory>

namespace {

struct CurlFree {
    void operator()(CURL *c) const { curl_easy_cleanup(c); }
};
struct MimeFree {
    void operator()(curl_mime *m) const { curl_mime_free(m); }
};
struct ListFree {
    void operator()(curl_slist *l) const { curl_slist_free_all(l); }
};

// Appends to a list owned by `list`; raises on allocation failure.
void append(std::unique_ptr<curl_slist, ListFree> &list, const QString &line)
{
    curl_slist *grown = curl_slist_append(list.get(), line.toUtf8().constData());
    if (!grown)
        throw AppError(QStringLiteral("memoria insufficiente per il messaggio PEC"));
    list.release();
    list.reset(grown);
}

// An address header value free of line breaks, so that no setting can add headers.
QString headerValue(const QString &text)
{
    QString v = text;
    v.remove(QLatin1Char('\r'));
    v.remove(QLatin1Char('\n'));
    return v;
}

} // namespace

PecChannel::PecChannel(const ServiceSettings &s)
    : m_server(s.pecServer), m_user(s.pecUser), m_password(s.pecPassword), m_from(headerValue(s.pecFrom)),
      m_to(headerValue(s.pecTo)), m_security(s.pecSecurity.toLower()), m_port(s.pecPort)
{
    if (m_server.isEmpty() || m_from.isEmpty() || m_to.isEmpty())
        throw AppError(QStringLiteral("canale PEC: servono pec_server, pec_from e pec_to nelle impostazioni"));
    if (m_security != QLatin1String("ssl") && m_security != QLatin1String("starttls") && m_security != QLatin1String("none"))
        throw AppError(QStringLiteral("canale PEC: pec_security deve essere ssl, starttls o none, non \"%1\"").arg(s.pecSecurity));
}

void PecChannel::deliver(const QByteArray &bytes, const QString &bareName)
{
    std::unique_ptr<CURL, CurlFree> curl(curl_easy_init());
    if (!curl)
        throw AppError(QStringLiteral("canale PEC: libcurl non disponibile"));
    CURL *c = curl.get();
    const QByteArray url = QStringLiteral("%1://%2:%3")
                               .arg(m_security == QLatin1String("ssl") ? QStringLiteral("smtps") : QStringLiteral("smtp"), m_server)
                               .arg(m_port)
                               .toUtf8();
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    if (m_security != QLatin1String("none"))
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    const QByteArray user = m_user.toUtf8(), password = m_password.toUtf8();
    if (!m_user.isEmpty()) {
        curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    }
    const QByteArray from = QStringLiteral("<%1>").arg(m_from).toUtf8();
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    std::unique_ptr<curl_slist, ListFree> recipients;
    append(recipients, QStringLiteral("<%1>").arg(m_to));
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(c, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);

    std::unique_ptr<curl_slist, ListFree> headers;
    append(headers, QStringLiteral("Date: %1").arg(QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                                                          QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")) + QStringLiteral(" +0000")));
    append(headers, QStringLiteral("From: %1").arg(from));
    append(headers, QStringLiteral("To: <%1>").arg(m_to));
    append(headers, QStringLiteral("Subject: Invio fattura elettronica %1").arg(bareName));
    const QString domain = m_from.section(QLatin1Char('@'), 1).isEmpty() ? QStringLiteral("localhost") : m_from.section(QLatin1Char('@'), 1);
    append(headers, QStringLiteral("Message-ID: <%1@%2>").arg(QUuid::createUuid().toString(QUuid::WithoutBraces), domain));
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    std::unique_ptr<curl_mime, MimeFree> mime(curl_mime_init(c));
    curl_mimepart *text = curl_mime_addpart(mime.get());
    const QByteArray body = QStringLiteral("In allegato la fattura elettronica %1.\r\n").arg(bareName).toUtf8();
    curl_mime_data(text, body.constData(), size_t(body.size()));
    curl_mime_type(text, "text/plain; charset=utf-8");
    curl_mimepart *file = curl_mime_addpart(mime.get());
    const QByteArray fileName = bareName.toUtf8();
    if (curl_mime_data(file, bytes.constData(), size_t(bytes.size())) != CURLE_OK)
        throw AppError(QStringLiteral("canale PEC: impossibile allegare %1").arg(bareName));
    curl_mime_filename(file, fileName.constData());
    curl_mime_type(file, bareName.endsWith(QLatin1String(".p7m")) ? "application/pkcs7-mime" : "application/xml");
    curl_mime_encoder(file, "base64");
    curl_easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK)
        throw AppError(QStringLiteral("invio PEC a %1 tramite %2 non riuscito: %3")
                           .arg(m_to, m_server, QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc))));
}

QString PecChannel::destination() const
{
    return QStringLiteral("via PEC a %1").arg(m_to);
}
