#include "service/invoice_signing.h"

#include "data/app_error.h"
#include "service/cades_signature.h"
#include "receiving/fattura_reader.h"
#include "receiving/signed_content.h"
#include "service/signing_certificate.h"
#include "service/signing_file_key.h"
#include "service/signing_token_key.h"

#include <QDateTime>

namespace {

QString notSent(const QString &reason)
{
    return QStringLiteral("Firma non riuscita: %1. La fattura non è stata inviata.").arg(reason);
}

} // namespace

InvoiceSigner::InvoiceSigner(SigningSettings settings) : m_settings(std::move(settings)) {}

QString InvoiceSigner::description() const
{
    QString where;
    if (m_settings.usesFile())
        where = QStringLiteral("certificato %1").arg(m_settings.file);
    else if (m_settings.usesToken())
        where = QStringLiteral("smart card %1 (modulo %2)")
                    .arg(m_settings.slot.isEmpty() ? QStringLiteral("\"%1\"").arg(m_settings.token) : QStringLiteral("slot %1").arg(m_settings.slot),
                         m_settings.module);
    else
        where = QStringLiteral("nessun certificato: le fatture FPA12 non possono essere inviate");
    return QStringLiteral("firma %1%2").arg(where, m_settings.signPrivate ? QStringLiteral(", anche FPR12") : QString());
}

OutgoingFile InvoiceSigner::prepare(const QByteArray &bytes, const QString &name)
{
    const Received::ReadResult read = Received::readFattura(bytes);
    if (!read.document)
        throw SigningRefusal(QStringLiteral("Il file %1 non si legge come fattura: %2").arg(name, read.error));
    const bool publicAdministration = read.document->format == QLatin1String("FPA12");
    if (!publicAdministration && !m_settings.signPrivate)
        return {bytes, name};
    if (!m_settings.usesFile() && !m_settings.usesToken())
        throw SigningRefusal(QStringLiteral("Il file %1 (%2) va firmato prima dell'invio, ma nelle impostazioni del servizio "
                                            "(servizio.ini) non è indicato alcun certificato di firma: impostare signing_file "
                                            "oppure pkcs11_module. La fattura non è stata inviata.")
                                 .arg(name, read.document->format));
    return sign(bytes, name);
}

OutgoingFile InvoiceSigner::sign(const QByteArray &bytes, const QString &name)
{
    QByteArray envelope;
    try {
        if (m_settings.usesFile()) {
            const SigningIdentity identity = loadFileIdentity(m_settings.file, m_settings.password);
            const QString refusal = certificateRefusal(identity.certificate.get(), QDateTime::currentDateTimeUtc());
            if (!refusal.isEmpty())
                throw SigningRefusal(notSent(refusal));
            envelope = signCades(identity, bytes);
        } else {
            std::lock_guard lock(m_tokenMutex);
            if (m_pinRefused)
                throw SigningRefusal(notSent(QStringLiteral("la smart card ha già rifiutato il PIN; per non bloccarla il servizio "
                                                            "non riprova: correggere pkcs11_pin e riavviare il servizio")));
            try {
                const SigningIdentity identity = loadTokenIdentity(m_settings);
                const QString refusal = certificateRefusal(identity.certificate.get(), QDateTime::currentDateTimeUtc());
                if (!refusal.isEmpty())
                    throw SigningRefusal(notSent(refusal));
                envelope = signCades(identity, bytes);
            } catch (const TokenLoadError &e) {
                if (e.pinRefused)
                    m_pinRefused = true;
                throw SigningRefusal(notSent(e.text));
            }
        }
    } catch (const AppError &e) {
        throw SigningRefusal(notSent(e.text()));
    }

    // The envelope must give back exactly the checked file through the reader of received files.
    const Received::SignedContent back = Received::extractSignedContent(envelope);
    if (!back.ok)
        throw SigningRefusal(notSent(QStringLiteral("il file firmato non si rilegge: %1").arg(back.error)));
    if (back.content != bytes)
        throw SigningRefusal(notSent(QStringLiteral("il file firmato non contiene esattamente la fattura controllata")));
    return {envelope, name + QStringLiteral(".p7m")};
}
