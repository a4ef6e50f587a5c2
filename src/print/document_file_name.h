#pragma once
// The file a printed document is proposed under when it is printed to a PDF file or
// saved as one: named after the document, in the user's documents folder.
#include <QString>

namespace Report {

// "Fattura_<number>_<year>": blanks and characters a file name must not hold become "_"
// (FI 15 /B of 2026 gives Fattura_FI_15_B_2026); an empty part is left out.
QString invoiceDocumentName(const QString &number, const QString &year);
// The year of a day/month/four-digit-year date, empty when the text is no such date.
QString yearOfDate(const QString &date);
// <documents folder>/<name>.pdf (the home folder when there is no documents folder).
QString proposedPdfPath(const QString &documentName);

} // namespace Report
