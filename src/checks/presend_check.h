#pragma once
// The check of an invoice file before it goes out: well-formed, valid against the
// FatturaPA schema, and free of the faults the exchange system rejects after the schema.
#include <QString>
#include <vector>

struct PresendProblem {
    QString code;     // exchange-system error code ("00423"), or "schema" / "xml"
    QString element;  // where (element path or name)
    QString detail;   // what was found, with the values
};

std::vector<PresendProblem> checkInvoiceFile(const QString &path);
// One line per problem, for a message box or a web page.
QString describeProblems(const std::vector<PresendProblem> &problems);
