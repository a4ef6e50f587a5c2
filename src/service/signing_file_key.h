#pragma once
// The signing key of a PKCS#12 file (.p12 / .pfx) protected by a password.
#include "service/signing_identity.h"

#include <QString>

// Loads the key and certificate of `path`. Raises AppError (Italian) for a file that
// others than its owner may read, a missing or unreadable file, a wrong password, or a
// file without key or certificate. The password never appears in a message.
SigningIdentity loadFileIdentity(const QString &path, const QString &password);
