#include "service/signing_token_key.h"

#include <QFileInfo>
#include <QUrl>
#include <openssl/err.h>

// The engine interface is the one through which Debian 12's OpenSSL 3.0 reaches PKCS#11
// modules (there is no PKCS#11 provider in that release); OpenSSL marks it deprecated.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <openssl/engine.h>

namespace {

// Reason codes that the engine gives with the token's own CKR_PIN_* answers.
constexpr unsigned long CkrPinIncorrect = 0xA0;
constexpr unsigned long CkrPinLocked = 0xA4;
constexpr unsigned long CkrPinExpired = 0xA3;
constexpr unsigned long CkrPinInvalid = 0xA1;
constexpr unsigned long CkrPinLenRange = 0xA2;

// A started engine, finished and freed together.
struct EngineRelease {
    void operator()(ENGINE *e) const
    {
        ENGINE_finish(e);
        ENGINE_free(e);
    }
};

// The errors the engine and the module left, as one Italian text after `what`, and whether the
// token refused the PIN.
TokenLoadError lastError(const QString &what)
{
    TokenLoadError error{what, false};
    QString detail;
    unsigned long code = 0;
    while ((code = ERR_get_error()) != 0) {
        const unsigned long reason = ERR_GET_REASON(code);
        const char *library = ERR_lib_error_string(code);
        const bool fromModule = library && QByteArrayView(library) == QByteArrayView("PKCS#11 module");
        if (fromModule && (reason == CkrPinIncorrect || reason == CkrPinLocked || reason == CkrPinExpired || reason == CkrPinInvalid
            || reason == CkrPinLenRange)) {
            error.pinRefused = true;
            error.text = reason == CkrPinLocked ? QStringLiteral("PIN della smart card bloccato")
                         : reason == CkrPinExpired ? QStringLiteral("PIN della smart card scaduto")
                                                   : QStringLiteral("PIN della smart card errato (pkcs11_pin)");
        }
        // The first reason is the most precise one ("object not found"); the later ones only say
        // which call gave up.
        if (const char *r = ERR_reason_error_string(code); r && detail.isEmpty())
            detail = QString::fromUtf8(r);
    }
    if (!error.pinRefused && !detail.isEmpty())
        error.text += QStringLiteral(" (%1)").arg(detail);
    return error;
}

// A PKCS#11 URI value: everything but unreserved characters percent-encoded.
QString uriValue(const QString &text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// The token's objects of one kind, as the engine names them.
QString objectUri(const SigningSettings &s, const char *type)
{
    if (!s.slot.isEmpty()) {
        // The engine's own form for a slot number: slot_<n>[-label_<label>].
        QString id = QStringLiteral("slot_%1").arg(s.slot.trimmed());
        if (!s.keyLabel.isEmpty())
            id += QStringLiteral("-label_") + s.keyLabel;
        return id;
    }
    QString uri = QStringLiteral("pkcs11:token=") + uriValue(s.token);
    if (!s.keyLabel.isEmpty())
        uri += QStringLiteral(";object=") + uriValue(s.keyLabel);
    return uri + QStringLiteral(";type=") + QLatin1String(type);
}

} // namespace

SigningIdentity loadTokenIdentity(const SigningSettings &s)
{
    if (!QFileInfo(s.module).isFile())
        throw TokenLoadError{QStringLiteral("libreria PKCS#11 %1 non trovata (pkcs11_module)").arg(s.module), false};
    ERR_clear_error();
    ENGINE *raw = ENGINE_by_id("pkcs11");
    if (!raw)
        throw lastError(QStringLiteral("supporto PKCS#11 di OpenSSL non installato (pacchetto libengine-pkcs11-openssl)"));
    const QByteArray module = s.module.toUtf8(), pin = s.pin.toUtf8();
    if (!ENGINE_ctrl_cmd_string(raw, "MODULE_PATH", module.constData(), 0)) {
        ENGINE_free(raw);
        throw lastError(QStringLiteral("modulo PKCS#11 %1 non utilizzabile").arg(s.module));
    }
    if (!ENGINE_init(raw)) {
        ENGINE_free(raw);
        throw lastError(QStringLiteral("impossibile caricare il modulo PKCS#11 %1").arg(s.module));
    }
    std::shared_ptr<ENGINE> engine(raw, EngineRelease());
    if (!ENGINE_ctrl_cmd_string(raw, "PIN", pin.constData(), 0))
        throw lastError(QStringLiteral("impossibile passare il PIN al modulo PKCS#11"));

    const QString where = s.slot.isEmpty() ? QStringLiteral("smart card \"%1\"").arg(s.token) : QStringLiteral("slot %1").arg(s.slot);
    SigningIdentity id;
    id.keeper = engine;
    // No user interface: a missing PIN must fail, never wait for someone to type it.
    const QByteArray keyUri = objectUri(s, "private").toUtf8();
    id.key.reset(ENGINE_load_private_key(raw, keyUri.constData(), const_cast<UI_METHOD *>(UI_null()), nullptr));
    if (!id.key)
        throw lastError(QStringLiteral("chiave di firma non trovata sulla %1").arg(where));

    struct {
        const char *id;
        X509 *cert;
    } certificate{nullptr, nullptr};
    const QByteArray certUri = objectUri(s, "cert").toUtf8();
    certificate.id = certUri.constData();
    if (!ENGINE_ctrl_cmd(raw, "LOAD_CERT_CTRL", 0, &certificate, nullptr, 0) || !certificate.cert)
        throw lastError(QStringLiteral("certificato di firma non trovato sulla %1").arg(where));
    id.certificate.reset(certificate.cert);
    ERR_clear_error();
    return id;
}

#pragma GCC diagnostic pop
