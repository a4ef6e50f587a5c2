#pragma once
// Reading a whole file that comes from outside the program, with the limits such a file
// needs: only a regular file is read (a FIFO, a device or a folder under the name is
// refused without waiting on it), and never more than a given size.
#include <QByteArray>
#include <QString>

struct RegularFile {
    enum class Fault { None, Missing, NotRegular, TooLarge, Unreadable };
    Fault fault = Fault::None;
    QByteArray bytes;   // the whole file, when fault is None
    QString error;      // Italian, naming the file by `shownName`, when fault is not None
    bool ok() const { return fault == Fault::None; }
};

// Reads `path` at most `maxBytes` long; `shownName` is how the messages name the file.
RegularFile readRegularFile(const QString &path, qint64 maxBytes, const QString &shownName);
