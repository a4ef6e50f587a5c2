#include "transmission/address_opener.h"

#include "data/installed_seam.h"
#include "data/messages.h"

#include <QDesktopServices>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QUrl>

namespace {
InstalledSeam<AddressOpener> g_seam;
} // namespace

bool desktopHasWebBrowser()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A free desktop opens web addresses through xdg-open, which starts without a browser
    // too and then shows nothing: ask which program handles web addresses first.
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return true;  // nothing to ask: the desktop service says for itself
    QProcess query;
    query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/http")});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty();
#else
    return true;
#endif
}

DesktopAddressOpener::DesktopAddressOpener(Browser browser) : m_browser(std::move(browser))
{
    if (!m_browser)
        m_browser = [](const QUrl &url) { return desktopHasWebBrowser() && QDesktopServices::openUrl(url); };
}

void DesktopAddressOpener::open(const QString &address, Messages &messages)
{
    const QUrl url(address, QUrl::StrictMode);
    if (m_browser(url))
        return;
    messages.inform(requestServiceAnswer(address));
}

AddressOpener &addressOpener()
{
    static DesktopAddressOpener desktop;
    return g_seam.inForce(desktop);
}

AddressOpener *installAddressOpener(AddressOpener *opener) { return g_seam.install(opener); }

QString requestServiceAnswer(const QString &address, int timeoutMs)
{
    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(address, QUrl::StrictMode)};
    request.setTransferTimeout(timeoutMs);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString error = reply->errorString();
    const bool failed = reply->error() != QNetworkReply::NoError && status == 0;
    reply->deleteLater();
    if (failed)
        return QStringLiteral("Il servizio locale non risponde (%1): %2").arg(address, error);
    const QString text = QTextDocumentFragment::fromHtml(QString::fromUtf8(body)).toPlainText().trimmed();
    if (text.isEmpty())
        return QStringLiteral("Il servizio locale ha risposto senza testo (stato HTTP %1)").arg(status);
    return text;
}

QString encodeQueryValue(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}
