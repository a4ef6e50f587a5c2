#include "service/signing_certificate.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/x509v3.h>

#include <ctime>
#include <memory>

namespace {

// RFC 2253 order (common name first) with ", " between the parts, UTF-8 kept as it is.
constexpr unsigned long DisplayFlags = (XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB & ~XN_FLAG_SEP_MASK) | XN_FLAG_SEP_CPLUS_SPC;

QDateTime toDateTime(const ASN1_TIME *t)
{
    std::tm tm{};
    if (!t || ASN1_TIME_to_tm(t, &tm) != 1)
        return {};
    return QDateTime(QDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), QTime(tm.tm_hour, tm.tm_min, tm.tm_sec), Qt::UTC);
}

QString shown(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("dd/MM/yyyy HH:mm")) + QStringLiteral(" UTC") : QStringLiteral("(data illeggibile)");
}

} // namespace

QString certificateSubject(X509 *certificate)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> out(BIO_new(BIO_s_mem()), &BIO_free);
    if (!out || X509_NAME_print_ex(out.get(), X509_get_subject_name(certificate), 0, DisplayFlags) < 0)
        return QStringLiteral("(soggetto illeggibile)");
    char *bytes = nullptr;
    const long length = BIO_get_mem_data(out.get(), &bytes);
    return QString::fromUtf8(bytes, qsizetype(length));
}

QString certificatePeriod(X509 *certificate)
{
    return QStringLiteral("dal %1 al %2")
        .arg(shown(toDateTime(X509_get0_notBefore(certificate))), shown(toDateTime(X509_get0_notAfter(certificate))));
}

QString certificateRefusal(X509 *certificate, const QDateTime &when)
{
    const QDateTime notBefore = toDateTime(X509_get0_notBefore(certificate));
    const QDateTime notAfter = toDateTime(X509_get0_notAfter(certificate));
    QString problem;
    if (!notBefore.isValid() || !notAfter.isValid())
        problem = QStringLiteral("ha date di validità illeggibili");
    else if (when < notBefore)
        problem = QStringLiteral("non è ancora valido");
    else if (when > notAfter)
        problem = QStringLiteral("è scaduto");
    else if (!(X509_get_extension_flags(certificate) & EXFLAG_KUSAGE) || !(X509_get_key_usage(certificate) & KU_NON_REPUDIATION))
        problem = QStringLiteral("non ha l'uso \"non ripudio\" (nonRepudiation) richiesto per la firma delle fatture");
    if (problem.isEmpty())
        return {};
    return QStringLiteral("il certificato di firma di \"%1\" (valido %2) %3")
        .arg(certificateSubject(certificate), certificatePeriod(certificate), problem);
}
