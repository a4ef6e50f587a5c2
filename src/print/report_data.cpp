#include "print/report_data.h"

namespace Report {

void ReportData::beforeBand(BandKind, int) {}

} // namespace Report
