#pragma once
// The check of an invoice file before it goes out: well-formed, valid against the
// FatturaPA schema, and free of the faults the exchange system rejects after the schema.
#include <QByteArray>
#include <QString>
#include <vector>

struct PresendProblem {
    QString code;     // exchange-system error code ("00423"), or "schema" / "xml" / "file"
    QString element;  // where (element path or name)
    QString detail;   // what was found, with the values
};

// Checks the file at `path`. An empty list means the file may go out. The checks after
// the schema run only on a file that the schema accepts, as the exchange system does.
// Refused before any parsing: a name that is not a regular file, a file over 5 MB; a file
// with a document type declaration is refused when the parser meets it.
std::vector<PresendProblem> checkInvoiceFile(const QString &path);
// The same check on bytes already read; `name` names the file in the problems.
std::vector<PresendProblem> checkInvoiceBytes(const QByteArray &bytes, const QString &name);
// One line per problem, for a message box or a web page.
QString describeProblems(const std::vector<PresendProblem> &problems);

// The folder holding the FatturaPA schema (Schema_VFPA12_V1.2.3.local.xsd and the
// signature schema it imports). Without one set, the first of these that holds the schema:
// <program folder>/schema/fatturapa, <program folder>/../schema/fatturapa, the project's
// schema/fatturapa compiled in.
void setPresendSchemaFolder(const QString &folder);
QString presendSchemaFolder();
