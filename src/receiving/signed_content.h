#pragma once
// The content of a signed received file (.xml.p7m): a CAdES / CMS SignedData structure
// with the invoice attached, in DER or in Base64 (with or without PEM armour).
#include <QByteArray>
#include <QString>

namespace Received {

struct SignedContent {
    bool ok = false;
    QByteArray content;  // the signed document
    QString error;       // Italian, when not ok
};

// True when `data` looks like an XML text rather than a signed envelope.
bool looksLikeXml(const QByteArray &data);

// Extracts the attached content of `data` and checks that the signature covers it
// (the signer's certificate is taken from the envelope; it is not checked against a
// certification authority).
SignedContent extractSignedContent(const QByteArray &data);

} // namespace Received
