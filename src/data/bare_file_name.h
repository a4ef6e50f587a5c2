#pragma once
// File names that come from outside the program (a request, a mail, a stored row, a
// listing): a bare name never names a folder, nor a way out of the folder it is looked for in.
#include <QString>

// A name without folder: not empty, at most `maxLength` characters, not hidden (no leading
// '.'), no "..", no '/', '\\' or ':' and no control character.
bool isBareFileName(const QString &name, int maxLength);

// An invoice file name as the application's writers make it: a bare name of at most 255
// letters, digits, '_' and '.'.
bool isBareInvoiceName(const QString &name);

// What follows the last '/' or '\\' of a name given with folders ("a/b\\c.xml" gives "c.xml").
QString lastNamePart(const QString &name);
