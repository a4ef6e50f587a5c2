#include "presend_check.h"

std::vector<PresendProblem> checkInvoiceFile(const QString &) { return {}; }

QString describeProblems(const std::vector<PresendProblem> &problems)
{
    QString text;
    for (const auto &p : problems)
        text += p.code + QStringLiteral(" ") + p.element + QStringLiteral(": ") + p.detail + QLatin1Char('\n');
    return text;
}
