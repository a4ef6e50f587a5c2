#pragma once
// The check of an invoice file before it goes out (and of a received one): its name and
// size, well-formed, valid against the FatturaPA schema, and free of the faults the
// exchange system rejects after the schema; plus formal checks of tax codes as warnings.
#include "checks/check_options.h"
#include "checks/doctype_free_xml.h"

#include <QByteArray>
#include <QString>
#include <vector>

enum class Severity {
    Refusal,  // the exchange system would reject the file
    Warning,  // a formal fault the exchange system would reject against its records; the file still goes
};

struct PresendProblem {
    QString code;     // exchange-system error code ("00423"), "controllo formale", or "file" (not readable)
    QString element;  // where (element path, or the file name)
    QString detail;   // what was found, with the values
    Severity severity = Severity::Refusal;

    bool isWarning() const { return severity == Severity::Warning; }
};

// Checks the file at `path` (its name is the bare name of the path unless the options give
// one). An empty list means the file passes. The checks after the schema run only on a file
// that the schema accepts, as the exchange system does. The file is parsed once. Refused
// before any parsing: a name that is not a regular file, a file over 5 MB (00003); a file
// with a document type declaration is refused when the parser meets it (00200).
std::vector<PresendProblem> checkInvoiceFile(const QString &path, const CheckOptions &options = {});
// The same check on bytes already read (or taken out of their signed envelope); `name`
// names the file in the problems and is the name checked unless the options give one.
std::vector<PresendProblem> checkInvoiceBytes(const QByteArray &bytes, const QString &name, const CheckOptions &options = {});

// True when at least one problem would make the exchange system reject the file.
bool hasRefusals(const std::vector<PresendProblem> &problems);
// The refusals alone (what stops a file), in their order, without the warnings.
std::vector<PresendProblem> refusalsOf(const std::vector<PresendProblem> &problems);
// One problem as one line: code, element, detail ("00423 /p:.../PrezzoTotale: ...").
QString describeProblem(const PresendProblem &problem);
// The problems for a message box: the refusals, then the warnings under a heading of their own.
QString describeProblems(const std::vector<PresendProblem> &problems);
// The heading of the warnings, shared by every place that lists them.
QString warningsHeading();

// The folder holding the FatturaPA schema (Schema_VFPA12_V1.2.3.local.xsd and the
// signature schema it imports). Without one set, the first of these that holds the schema:
// <program folder>/schema/fatturapa, <program folder>/../schema/fatturapa, the project's
// schema/fatturapa compiled in.
void setPresendSchemaFolder(const QString &folder);
QString presendSchemaFolder();
