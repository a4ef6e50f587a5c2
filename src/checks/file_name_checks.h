#pragma once
// The exchange system's rules on a file's name: its form (00001) and a name this business
// has already sent (00002).
#include "checks/check_options.h"
#include "checks/presend_check.h"

#include <vector>

namespace Checks {

// True for a name of the form country code + sender's identifier + "_" + progressive of
// one to five letters or digits + ".xml" or ".xml.p7m" (IT01234567890_0A1b2.xml).
bool isValidInvoiceFileName(const QString &name);

void checkFileName(const CheckOptions &options, std::vector<PresendProblem> &problems);

} // namespace Checks
