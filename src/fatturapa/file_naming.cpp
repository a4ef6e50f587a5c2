#include "fatturapa/file_naming.h"

namespace {
constexpr int KeysPerRound = 19998;
}

QString progressivoInvio(int idInvio, const QString &workspaceCaption)
{
    const int n = idInvio > KeysPerRound ? idInvio - KeysPerRound : idInvio;
    const QString digits = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
    const QChar prefix = workspaceCaption == QLatin1String("A") ? QLatin1Char('0') : QLatin1Char('P');
    return prefix + digits;
}

QString xmlBaseName(const QString &companyVatNumber, const QString &progressive)
{
    return QStringLiteral("IT") + companyVatNumber + QLatin1Char('_') + progressive;
}
