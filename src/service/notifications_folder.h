#pragma once
// The service's folder of the exchange system's messages (in/notifiche by default): files
// are dropped there by an intermediary, a test, or the reading of the PEC mailbox. Each
// *.xml file is read, checked against the messages schema, matched to its invoice by the
// file name it names, stored, and moved to "elaborati"; a file that cannot be read or
// matched is moved to "scartati" with the reason beside it (<name>.motivo.txt) and in the
// log. Files are never deleted and never read twice: only a database that cannot be
// reached leaves a file where it is, for the next reading.
#include <QString>
#include <QStringList>

class DbConnection;

struct FolderReading {
    int stored = 0;        // new answers stored
    int duplicates = 0;    // messages stored before (moved to elaborati all the same)
    int setAside = 0;      // moved to scartati
    int waiting = 0;       // left in place: the database could not be reached
    QStringList lines;     // one line per file, for the log and the answer page
};

class NotificationsFolder {
public:
    explicit NotificationsFolder(QString folder);

    const QString &folder() const { return m_folder; }
    QString doneFolder() const;
    QString asideFolder() const;

    // Reads every message file of the folder, in name order.
    FolderReading readAll(DbConnection &conn);

    // Puts a message that came by mail into the folder, whole or not at all; a file of the
    // name with other content is kept and this one gets a name of its own. False (and
    // `error` set) when it could not be written.
    bool deposit(const QString &bareName, const QByteArray &bytes, QString *error);

private:
    QString m_folder;
};

// Writes `bytes` to `path` through a temporary file flushed to the disk and renamed into
// place; never overwrites: when `path` holds other bytes, a free name "<stem>_<n><ext>" is
// used. Returns the name written (or found holding the same bytes), empty on failure.
QString writeFileSafely(const QString &path, const QByteArray &bytes, QString *error);
