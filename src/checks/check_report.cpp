#include "checks/check_report.h"

#include "fatturapa/xml_nodes.h"

namespace Checks {

void Report::refuse(const char *code, const xmlNode *where, const QString &detail)
{
    m_problems.push_back({QLatin1String(code), XmlNodes::path(where), detail, Severity::Refusal});
}

void Report::refuseAt(const char *code, const QString &where, const QString &detail)
{
    m_problems.push_back({QLatin1String(code), where, detail, Severity::Refusal});
}

void Report::warn(const char *code, const xmlNode *where, const QString &detail)
{
    m_problems.push_back({QLatin1String(code), XmlNodes::path(where), detail, Severity::Warning});
}

} // namespace Checks
