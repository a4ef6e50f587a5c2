#pragma once
// The check of a file an XML writer has just written: what SDI would reject is shown (the
// file stays written). A computer without a usable FatturaPA schema cannot check any
// file: that is said once, as a problem of the installation, instead of as a rejection
// of every file written.
#include <QString>

class Messages;

void checkWrittenFile(const QString &path, Messages &messages);
