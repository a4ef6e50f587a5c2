#pragma once
// The check of an invoice file before it goes out: well-formed, valid against the
// FatturaPA schema, and free of the faults the exchange system rejects after the schema.
#include <QString>
#include <vector>

struct PresendProblem {
    QString code;     // exchange-system error code ("00423"), or "schema" / "xml" / "file"
    QString element;  // where (element path or name)
    QString detail;   // what was found, with the values
};

// Checks the file at `path`. An empty list means the file may go out. The checks after
// the schema run only on a file that the schema accepts, as the exchange system does.
std::vector<PresendProblem> checkInvoiceFile(const QString &path);
// One line per problem, for a message box or a web page.
QString describeProblems(const std::vector<PresendProblem> &problems);

// The folder holding the FatturaPA schema (Schema_VFPA12_V1.2.3.local.xsd and the
// signature schema it imports). Without one set, the first of these that holds the schema:
// <program folder>/schema/fatturapa, <program folder>/../schema/fatturapa, the project's
// schema/fatturapa compiled in.
void setPresendSchemaFolder(const QString &folder);
QString presendSchemaFolder();
