#include "service/cades_signature.h"

#include "data/app_error.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>

namespace {

using Bio = std::unique_ptr<BIO, decltype(&BIO_free)>;
using Cms = std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)>;

AppError signingFailure(const QString &what)
{
    QString detail;
    unsigned long code = 0;
    while ((code = ERR_get_error()) != 0)
        if (const char *r = ERR_reason_error_string(code))
            detail = QString::fromUtf8(r);
    return AppError(detail.isEmpty() ? what : QStringLiteral("%1 (%2)").arg(what, detail));
}

} // namespace

QByteArray signCades(const SigningIdentity &identity, const QByteArray &content)
{
    ERR_clear_error();
    // Binary content (no line-end translation), no S/MIME capabilities attribute; the
    // signer is added by hand so that its digest is SHA-256 and CMS_CADES adds the
    // signing-certificate-v2 attribute with the certificate's SHA-256 hash.
    const unsigned int flags = CMS_BINARY | CMS_PARTIAL | CMS_NOSMIMECAP | CMS_CADES;
    Cms cms(CMS_sign(nullptr, nullptr, identity.chain.get(), nullptr, flags), &CMS_ContentInfo_free);
    if (!cms)
        throw signingFailure(QStringLiteral("impossibile preparare la firma"));
    if (!CMS_add1_signer(cms.get(), identity.certificate.get(), identity.key.get(), EVP_sha256(), flags))
        throw signingFailure(QStringLiteral("la chiave di firma non corrisponde al certificato o non firma"));
    Bio in(BIO_new_mem_buf(content.constData(), int(content.size())), &BIO_free);
    if (!in || !CMS_final(cms.get(), in.get(), nullptr, flags))
        throw signingFailure(QStringLiteral("firma non riuscita"));
    Bio out(BIO_new(BIO_s_mem()), &BIO_free);
    if (!out || i2d_CMS_bio(out.get(), cms.get()) != 1)
        throw signingFailure(QStringLiteral("impossibile scrivere il file firmato"));
    char *bytes = nullptr;
    const long length = BIO_get_mem_data(out.get(), &bytes);
    return QByteArray(bytes, qsizetype(length));
}
