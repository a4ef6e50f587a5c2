#include "import/document_numbering.h"

#include "data/app_error.h"

ImportedIdentity importedIdentity(const QString &reg, int num, const QString &workspaceCaption)
{
    QString n = QString::number(num);
    if (workspaceCaption != QLatin1String("A"))
        n += QStringLiteral(" /") + workspaceCaption;

    if (reg == QLatin1String("FV"))
        return {n + QLatin1Char('I'), QStringLiteral("TD01"), false};
    if (reg == QLatin1String("FD"))
        return {n + QLatin1Char('D'), QStringLiteral("TD24"), false};
    if (reg == QLatin1String("FI"))
        return {QStringLiteral("FI ") + n, QStringLiteral("TD01"), true};
    if (reg == QLatin1String("NC"))
        return {n, QStringLiteral("TD04"), false};
    if (reg == QLatin1String("NI"))
        return {QStringLiteral("NI ") + n, QStringLiteral("TD04"), true};
    throw AppError(QStringLiteral("Registro documento non importabile: %1").arg(reg));
}
