#pragma once
// Where the service finds the business's signing key, read from the same servizio.ini as
// the other settings:
//   signing_file, signing_password   a PKCS#12 file (.p12 / .pfx) and its password
//   pkcs11_module                    the PKCS#11 library of a smart card or USB key
//   pkcs11_token or pkcs11_slot      which token: its label, or its slot number
//   pkcs11_key                       the label of the key and of its certificate (optional)
//   pkcs11_pin                       the PIN of the token
//   sign_fpr12                       yes: also private customers' invoices are signed
// Public administrations' invoices (FPA12) are always signed.
#include <QString>

struct SigningSettings {
    QString file;       // absolute (taken from the settings file's folder when relative)
    QString password;
    QString module;
    QString token;
    QString slot;
    QString keyLabel;
    QString pin;
    bool signPrivate = false;

    bool usesFile() const { return !file.isEmpty(); }
    bool usesToken() const { return !module.isEmpty(); }
};

// Reads the signing keys of `path`. Raises AppError (Italian) for settings that cannot
// work: both a file and a token, a token without PIN or without token/slot, a slot that is
// not a number, a sign_fpr12 that is neither yes nor no.
SigningSettings loadSigningSettings(const QString &path);
