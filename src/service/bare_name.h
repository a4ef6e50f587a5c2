#pragma once
// The file names the service accepts in a request: never a folder, never a way out of the
// folder the service looks in.
#include <QString>

// An invoice file name as the application's writers make it: letters, digits, '_' and '.',
// no "..", not starting with '.'.
bool isBareInvoiceName(const QString &name);
// A decimal invoice number: digits only, within the range of the key.
bool readInvoiceNumber(const QString &text, int *number);
