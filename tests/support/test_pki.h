#pragma once
// A small certification authority made on the spot for the signing tests and benchmark:
// an RSA authority and the signing certificates it issues (validity and key usage as the
// caller says), written as PEM files and as PKCS#12 files readable by their owner only.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/pkcs12.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <stdexcept>
#include <string>

namespace TestPki {

using Key = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using Cert = std::unique_ptr<X509, decltype(&X509_free)>;

inline void require(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string("test PKI: ") + what);
}

inline Key newKey()
{
    Key key(EVP_RSA_gen(2048), &EVP_PKEY_free);
    require(bool(key), "RSA key generation");
    return key;
}

inline void addExtension(X509 *cert, X509 *issuer, int nid, const char *value)
{
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION *ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    require(ext != nullptr, value);
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// A certificate for `key` named by `subject` (one-line "/CN=.../O=.../C=IT"), valid from
// now + fromSeconds to now + toSeconds, issued by issuer/issuerKey (itself when null).
// `keyUsage` is an OpenSSL extension value ("critical,nonRepudiation"); empty: none.
inline Cert issue(const char *subject, EVP_PKEY *key, X509 *issuer, EVP_PKEY *issuerKey, long fromSeconds, long toSeconds,
                  const char *keyUsage, bool authority = false, long serial = 1)
{
    Cert cert(X509_new(), &X509_free);
    X509 *x = cert.get();
    X509_set_version(x, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(x), serial);
    X509_NAME *name = X509_NAME_new();
    const std::string s(subject);
    size_t at = 1;
    while (at < s.size()) {
        const size_t next = s.find('/', at);
        const std::string part = s.substr(at, next == std::string::npos ? std::string::npos : next - at);
        const size_t eq = part.find('=');
        X509_NAME_add_entry_by_txt(name, part.substr(0, eq).c_str(), MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char *>(part.substr(eq + 1).c_str()), -1, -1, 0);
        at = next == std::string::npos ? s.size() : next + 1;
    }
    X509_set_subject_name(x, name);
    X509_set_issuer_name(x, issuer ? X509_get_subject_name(issuer) : name);
    X509_NAME_free(name);
    X509_gmtime_adj(X509_getm_notBefore(x), fromSeconds);
    X509_gmtime_adj(X509_getm_notAfter(x), toSeconds);
    X509_set_pubkey(x, key);
    X509 *signer = issuer ? issuer : x;
    addExtension(x, signer, NID_basic_constraints, authority ? "critical,CA:TRUE" : "critical,CA:FALSE");
    if (keyUsage && *keyUsage)
        addExtension(x, signer, NID_key_usage, keyUsage);
    addExtension(x, signer, NID_subject_key_identifier, "hash");
    require(X509_sign(x, issuerKey ? issuerKey : key, EVP_sha256()) > 0, "certificate signature");
    return cert;
}

inline void writeFile(const QString &path, const QByteArray &bytes, QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner)
{
    QFile f(path);
    require(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), "file write");
    f.close();
    require(f.setPermissions(permissions), "file permissions");
}

inline QByteArray fromBio(BIO *bio)
{
    char *bytes = nullptr;
    const long length = BIO_get_mem_data(bio, &bytes);
    return QByteArray(bytes, length);
}

inline QByteArray certificatePem(X509 *cert)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    PEM_write_bio_X509(out.get(), cert);
    return fromBio(out.get());
}

inline QByteArray certificateDer(X509 *cert)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    i2d_X509_bio(out.get(), cert);
    return fromBio(out.get());
}

// The key unencrypted in PKCS#8 PEM (what softhsm2-util imports).
inline QByteArray keyPem(EVP_PKEY *key)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    PEM_write_bio_PrivateKey(out.get(), key, nullptr, nullptr, 0, nullptr, nullptr);
    return fromBio(out.get());
}

inline QByteArray pkcs12(EVP_PKEY *key, X509 *cert, X509 *authority, const char *password)
{
    STACK_OF(X509) *chain = sk_X509_new_null();
    if (authority)
        sk_X509_push(chain, authority);
    PKCS12 *p12 = PKCS12_create(password, "firma", key, cert, chain, 0, 0, 0, 0, 0);
    sk_X509_free(chain);
    require(p12 != nullptr, "PKCS#12 creation");
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    i2d_PKCS12_bio(out.get(), p12);
    PKCS12_free(p12);
    return fromBio(out.get());
}

constexpr long Day = 24 * 3600;

// The authority, valid from yesterday for ten years.
struct Authority {
    Key key = newKey();
    Cert cert = issue("/CN=Autorita di prova/O=Prove/C=IT", key.get(), nullptr, nullptr, -Day, 3650 * Day,
                      "critical,keyCertSign,cRLSign", true);
};

// A signer issued by `ca`.
struct Signer {
    Key key;
    Cert cert;
    Signer(const Authority &ca, const char *subject, long fromSeconds, long toSeconds,
           const char *keyUsage = "critical,nonRepudiation", long serial = 2)
        : key(newKey()), cert(issue(subject, key.get(), ca.cert.get(), ca.key.get(), fromSeconds, toSeconds, keyUsage, false, serial))
    {
    }
};

} // namespace TestPki
