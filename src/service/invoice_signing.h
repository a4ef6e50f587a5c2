#pragma once
// The signature of an invoice file on its way out. A public administration's invoice
// (FPA12) always leaves signed, a private customer's (FPR12) only when the settings ask:
// the file that goes out is then the CAdES-BES envelope "<name>.p7m" (the invoice's
// stored nome_file keeps the .xml name). The key is loaded anew for every file, from the
// certificate file or the smart card of the settings; its certificate must be valid now
// and carry the non-repudiation usage, and the envelope is read back by the same reader
// that loads received .p7m files before it may go out.
#include "service/signing_settings.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <mutex>

struct OutgoingFile {
    QByteArray bytes;
    QString name;
};

// Raised when the file must not go out; text() is the Italian reason for the answer page.
class SigningRefusal {
public:
    explicit SigningRefusal(QString text) : m_text(std::move(text)) {}
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

class InvoiceSigner {
public:
    explicit InvoiceSigner(SigningSettings settings);

    // What goes out for the checked file `bytes` named `name`: the same bytes and name, or
    // the signed envelope and name + ".p7m". Raises SigningRefusal. Safe from any thread
    // (a token signs one file at a time).
    OutgoingFile prepare(const QByteArray &bytes, const QString &name);

    // For the start-up line: where the key is, never a secret.
    QString description() const;

private:
    OutgoingFile sign(const QByteArray &bytes, const QString &name);

    SigningSettings m_settings;
    std::mutex m_tokenMutex;
    // Set once the token has refused the PIN: a card locks itself after a few wrong tries,
    // so no further try is made until the service is started again.
    std::atomic<bool> m_pinRefused{false};
};
