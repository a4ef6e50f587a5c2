#pragma once
// One file given to the command-line checker: read whole, taken out of its signed envelope
// when it is a .p7m, and checked.
#include "checks/presend_check.h"

#include <QString>
#include <vector>

struct CheckedFile {
    QString path;
    bool readable = true;                  // false: the file could not be read at all
    std::vector<PresendProblem> problems;  // when readable (or the one reason why not)
};

CheckedFile checkOneFile(const QString &path, bool received);
