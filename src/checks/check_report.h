#pragma once
// The problems found in one file, as the checks after the schema add them: refusals (the
// exchange system would reject the file) and warnings (formal faults it would reject
// later, against its own records), each with its code, element path and Italian detail.
#include "checks/check_options.h"
#include "checks/presend_check.h"

#include <vector>

typedef struct _xmlNode xmlNode;

namespace Checks {

class Report {
public:
    explicit Report(const CheckOptions &options) : m_options(options), m_day(options.day()) {}
    const CheckOptions &options() const { return m_options; }
    // The day of the check, the same for every rule of the file.
    QDate day() const { return m_day; }

    void refuse(const char *code, const xmlNode *where, const QString &detail);
    void refuseAt(const char *code, const QString &where, const QString &detail);
    void warn(const char *code, const xmlNode *where, const QString &detail);

    std::vector<PresendProblem> take() { return std::move(m_problems); }

private:
    const CheckOptions &m_options;
    const QDate m_day;
    std::vector<PresendProblem> m_problems;
};

// The header's own rules: the transmission format against the root's version (00428) and
// the recipient code's length (00427).
void checkTransmission(const xmlNode *root, Report &report);
// The document types that bind seller and buyer (00471, 00472, 00473), per invoice body.
void checkDocumentTypeParties(const xmlNode *header, const xmlNode *body, Report &report);
// The general document data of one invoice body: date (00403), linked invoices' dates
// (00418), number (00425), discounts (00437), pension fund contributions (00413, 00414,
// 00415), and the self-invoice for exceeding the ceiling without a zero rate (00474).
void checkDocumentData(const xmlNode *body, Report &report);
// Formal checks of the VAT numbers and fiscal codes of the header, as warnings.
void checkTaxCodes(const xmlNode *header, Report &report);

} // namespace Checks
