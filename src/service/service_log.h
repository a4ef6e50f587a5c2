#pragma once
// The service's log: one line per event on the standard output, for the log file of the
// scripts.
#include <QString>

// Writes the current time, a space and `text` as one line; control characters of the text (a
// line break in a refused name) become spaces, so that nothing of it starts a line of its own.
void writeLogLine(const QString &text);
