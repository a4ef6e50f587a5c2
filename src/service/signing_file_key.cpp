#include "service/signing_file_key.h"

#include "data/app_error.h"

#include <QFile>
#include <QFileInfo>
#include <openssl/err.h>
#include <openssl/pkcs12.h>
#include <openssl/provider.h>

#include <mutex>
#include <sys/stat.h>

namespace {

struct Pkcs12Free {
    void operator()(PKCS12 *p) const { PKCS12_free(p); }
};

// Older certificate files are encrypted with algorithms that OpenSSL 3 keeps in its
// "legacy" provider; it is loaded once beside the default one, where it is installed.
void allowLegacyEncryption()
{
    static std::once_flag once;
    std::call_once(once, [] {
        OSSL_PROVIDER_try_load(nullptr, "legacy", 1);
        ERR_clear_error();
    });
}

} // namespace

SigningIdentity loadFileIdentity(const QString &path, const QString &password)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw AppError(QStringLiteral("certificato di firma %1 non trovato").arg(path));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("impossibile leggere il certificato di firma %1: %2").arg(path, file.errorString()));
    // The permissions of the file actually opened, not of whatever the name meant a moment ago.
    struct stat st {};
    if (::fstat(file.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        throw AppError(QStringLiteral("certificato di firma %1 non leggibile").arg(path));
    if (st.st_mode & (S_IRGRP | S_IROTH))
        throw AppError(QStringLiteral("il certificato di firma %1 è leggibile anche da altri utenti: renderlo leggibile "
                                      "solo dal proprietario (chmod 600 %1)")
                           .arg(path));
    const QByteArray der = file.readAll();
    file.close();

    allowLegacyEncryption();
    const unsigned char *p = reinterpret_cast<const unsigned char *>(der.constData());
    std::unique_ptr<PKCS12, Pkcs12Free> p12(d2i_PKCS12(nullptr, &p, long(der.size())));
    if (!p12) {
        ERR_clear_error();
        throw AppError(QStringLiteral("il file %1 non è un certificato di firma PKCS#12 (.p12 / .pfx)").arg(path));
    }
    const QByteArray pass = password.toUtf8();
    // An empty password may have been applied as none at all: both are tried, as PKCS12_parse does.
    const bool passwordMatches = !PKCS12_mac_present(p12.get()) || PKCS12_verify_mac(p12.get(), pass.constData(), int(pass.size())) == 1
                                 || (pass.isEmpty() && PKCS12_verify_mac(p12.get(), nullptr, 0) == 1);
    if (!passwordMatches) {
        ERR_clear_error();
        throw AppError(QStringLiteral("password del certificato di firma %1 errata (signing_password)").arg(path));
    }
    EVP_PKEY *key = nullptr;
    X509 *certificate = nullptr;
    STACK_OF(X509) *chain = nullptr;
    const int parsed = PKCS12_parse(p12.get(), pass.constData(), &key, &certificate, &chain);
    ERR_clear_error();
    SigningIdentity id;
    id.key.reset(key);
    id.certificate.reset(certificate);
    id.chain.reset(chain);
    if (parsed != 1)
        throw AppError(QStringLiteral("impossibile leggere la chiave del certificato di firma %1").arg(path));
    if (!id.key || !id.certificate)
        throw AppError(QStringLiteral("il file %1 non contiene una chiave con il suo certificato").arg(path));
    return id;
}
