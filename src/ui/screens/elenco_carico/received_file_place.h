#pragma once
// Putting a received file the user picked into the received-invoices folder that the
// loading service reads, so that the file loaded is the file picked.
#include <QString>

struct PlaceOutcome {
    bool ok = false;
    QString message;  // Italian, when not ok
};

// A file already in `receivedFolder` stays; a file elsewhere is copied there (atomically).
// Refused when the folder holds a different file of the same name; an identical one is
// taken as it is. The folder is made when missing.
PlaceOutcome placeInReceivedFolder(const QString &sourcePath, const QString &receivedFolder);
