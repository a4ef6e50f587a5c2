#pragma once
// The signing key of a PKCS#11 token (smart card, USB key), reached through OpenSSL's
// pkcs11 engine (Debian package libengine-pkcs11-openssl) and the token's own module.
#include "service/signing_identity.h"
#include "service/signing_settings.h"

#include <QString>

struct TokenLoadError {
    QString text;          // Italian; never holds the PIN
    bool pinRefused = false;  // the token refused the PIN (wrong, locked or expired)
};

// Logs in to the token of `settings` with its PIN and loads the key and its certificate
// (by label pkcs11_key when given, otherwise the token's first). Raises TokenLoadError.
SigningIdentity loadTokenIdentity(const SigningSettings &settings);
