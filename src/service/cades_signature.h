#pragma once
// A CAdES-BES signature (ETSI TS 101 733) of a document, as the exchange system takes it
// for a .p7m file: CMS SignedData in DER with the document attached, SHA-256, the
// signer's certificate, and the signed attributes content type, message digest, signing
// time and ESS signing-certificate-v2.
#include "service/signing_identity.h"

#include <QByteArray>

// The DER envelope of `content` signed with `identity`. Raises AppError (Italian) when
// OpenSSL cannot sign (a key that does not match its certificate, a token gone).
QByteArray signCades(const SigningIdentity &identity, const QByteArray &content);
