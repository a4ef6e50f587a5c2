#include "receiving/signed_content.h"

#include <QList>

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>

#include <cctype>
#include <memory>

namespace Received {

namespace {

using Bio = std::unique_ptr<BIO, decltype(&BIO_free)>;
using Cms = std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)>;

Cms parseDer(const QByteArray &der)
{
    Bio in(BIO_new_mem_buf(der.constData(), int(der.size())), &BIO_free);
    Cms cms(in ? d2i_CMS_bio(in.get(), nullptr) : nullptr, &CMS_ContentInfo_free);
    ERR_clear_error();
    return cms;
}

// The Base64 text of a signed file, without PEM armour lines and blanks; empty when
// the text holds anything else.
QByteArray base64Body(const QByteArray &data)
{
    QByteArray body;
    body.reserve(data.size());
    for (const QByteArray &line : data.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith("-----"))
            continue;
        body += t;
    }
    for (char c : body)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '='))
            return {};
    return body;
}

} // namespace

bool looksLikeXml(const QByteArray &data)
{
    QByteArray head = data.left(64);
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.mid(3);
    return head.trimmed().startsWith('<');
}

SignedContent extractSignedContent(const QByteArray &data)
{
    SignedContent out;
    Cms cms = parseDer(data);
    if (!cms) {
        const QByteArray body = base64Body(data);
        if (!body.isEmpty()) {
            const auto decoded = QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
            if (decoded)
                cms = parseDer(*decoded);
        }
    }
    if (!cms) {
        out.error = QStringLiteral("il file non e un XML e non e un file firmato leggibile");
        return out;
    }
    if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed) {
        out.error = QStringLiteral("il file firmato non contiene dati firmati");
        return out;
    }
    ASN1_OCTET_STRING **content = CMS_get0_content(cms.get());
    if (!content || !*content) {
        out.error = QStringLiteral("il file firmato non contiene la fattura (firma senza contenuto)");
        return out;
    }
    Bio result(BIO_new(BIO_s_mem()), &BIO_free);
    const int verified = CMS_verify(cms.get(), nullptr, nullptr, nullptr, result.get(),
                                    CMS_NO_SIGNER_CERT_VERIFY | CMS_BINARY);
    ERR_clear_error();
    if (verified != 1) {
        out.error = QStringLiteral("la firma del file non corrisponde al contenuto");
        return out;
    }
    char *bytes = nullptr;
    const long length = BIO_get_mem_data(result.get(), &bytes);
    out.content = QByteArray(bytes, qsizetype(length));
    out.ok = true;
    return out;
}

} // namespace Received
