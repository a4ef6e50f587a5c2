#include "service/signing_settings.h"

#include "data/app_error.h"
#include "settings/service_settings.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

namespace {

// yes/no, si/no, true/false, 1/0; nullopt for anything else.
std::optional<bool> readFlag(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("yes") || t == QLatin1String("si") || t == QStringLiteral("sì") || t == QLatin1String("true")
        || t == QLatin1String("1"))
        return true;
    if (t.isEmpty() || t == QLatin1String("no") || t == QLatin1String("false") || t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

SigningSettings loadSigningSettings(const QString &path)
{
    const QHash<QString, QString> ini = readSettingsValues(path);
    SigningSettings s;
    s.file = ini.value(QStringLiteral("signing_file"));
    s.password = ini.value(QStringLiteral("signing_password"));
    s.module = ini.value(QStringLiteral("pkcs11_module"));
    s.token = ini.value(QStringLiteral("pkcs11_token"));
    s.slot = ini.value(QStringLiteral("pkcs11_slot"));
    s.keyLabel = ini.value(QStringLiteral("pkcs11_key"));
    s.pin = ini.value(QStringLiteral("pkcs11_pin"));
    const auto signPrivate = readFlag(ini.value(QStringLiteral("sign_fpr12")));
    if (!signPrivate)
        throw AppError(QStringLiteral("sign_fpr12 deve essere yes o no, non \"%1\"").arg(ini.value(QStringLiteral("sign_fpr12"))));
    s.signPrivate = *signPrivate;

    if (!s.file.isEmpty())
        s.file = QDir::cleanPath(QFileInfo(path).absoluteDir().absoluteFilePath(s.file));
    if (s.usesFile() && s.usesToken())
        throw AppError(QStringLiteral("firma: impostare signing_file (certificato su file) oppure pkcs11_module (smart card), non entrambi"));
    if (s.usesToken()) {
        if (s.pin.isEmpty())
            throw AppError(QStringLiteral("firma: con pkcs11_module serve pkcs11_pin, il PIN della smart card"));
        if (s.token.isEmpty() == s.slot.isEmpty())
            throw AppError(QStringLiteral("firma: con pkcs11_module serve pkcs11_token (etichetta della smart card) oppure pkcs11_slot (numero dello slot)"));
        bool ok = false;
        if (!s.slot.isEmpty() && (s.slot.toULong(&ok), !ok))
            throw AppError(QStringLiteral("firma: pkcs11_slot deve essere un numero, non \"%1\"").arg(s.slot));
    }
    return s;
}
