#pragma once
// Whether a signing certificate may sign an invoice now: within its validity dates and
// with the non-repudiation usage that a qualified signature carries.
#include <QDateTime>
#include <QString>
#include <openssl/x509.h>

// The certificate's subject on one line ("CN=Mario Rossi, O=Rossi Srl, C=IT").
QString certificateSubject(X509 *certificate);
// "dal 01/01/2026 al 31/12/2028" (UTC).
QString certificatePeriod(X509 *certificate);

// Empty when `certificate` may sign at `when`; otherwise the Italian reason, naming the
// subject and the dates.
QString certificateRefusal(X509 *certificate, const QDateTime &when);
