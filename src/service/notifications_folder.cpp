#include "service/notifications_folder.h"

#include "data/app_error.h"
#include "data/db_connection.h"
#include "receiving/sdi_message.h"
#include "receiving/sdi_message_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <unistd.h>

namespace {

// A free name in `dir` for `name`: the name itself, or "<stem>_<n><ext>".
QString freeName(const QDir &dir, const QString &name)
{
    if (!QFileInfo::exists(dir.filePath(name)))
        return name;
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? name : name.left(dot), ext = dot < 0 ? QString() : name.mid(dot);
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(ext);
        if (!QFileInfo::exists(dir.filePath(candidate)))
            return candidate;
    }
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Moves `path` into `dir` under a free name; returns the name given, empty on failure.
QString moveInto(const QString &path, const QString &dir, QString *error)
{
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("impossibile creare la cartella %1").arg(dir);
        return {};
    }
    const QString name = freeName(QDir(dir), QFileInfo(path).fileName());
    if (!QFile::rename(path, QDir(dir).filePath(name))) {
        *error = QStringLiteral("impossibile spostare %1 in %2").arg(QFileInfo(path).fileName(), dir);
        return {};
    }
    return name;
}

} // namespace

QString writeFileSafely(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo info(path);
    const QDir dir = info.absoluteDir();
    if (!QDir().mkpath(dir.path())) {
        *error = QStringLiteral("impossibile creare la cartella %1").arg(dir.path());
        return {};
    }
    QString name = info.fileName();
    if (QFileInfo::exists(dir.filePath(name))) {
        if (contentOf(dir.filePath(name)) == bytes)
            return name;
        name = freeName(dir, name);
    }
    QSaveFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0
        || !file.commit()) {
        *error = QStringLiteral("impossibile scrivere %1: %2").arg(dir.filePath(name), file.errorString());
        return {};
    }
    return name;
}

NotificationsFolder::NotificationsFolder(QString folder) : m_folder(std::move(folder)) {}

QString NotificationsFolder::doneFolder() const { return QDir(m_folder).filePath(QStringLiteral("elaborati")); }

QString NotificationsFolder::asideFolder() const { return QDir(m_folder).filePath(QStringLiteral("scartati")); }

bool NotificationsFolder::deposit(const QString &bareName, const QByteArray &bytes, QString *error)
{
    // Already here, or already read: the same message is not deposited again.
    for (const QString &dir : {m_folder, doneFolder()})
        if (QFileInfo::exists(QDir(dir).filePath(bareName)) && contentOf(QDir(dir).filePath(bareName)) == bytes)
            return true;
    return !writeFileSafely(QDir(m_folder).filePath(bareName), bytes, error).isEmpty();
}

FolderReading NotificationsFolder::readAll(DbConnection &conn)
{
    FolderReading reading;
    QDir dir(m_folder);
    if (!dir.exists())
        return reading;
    const QStringList names = dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    auto setAside = [&](const QString &name, const QString &why) {
        QString error;
        const QString given = moveInto(dir.filePath(name), asideFolder(), &error);
        if (given.isEmpty()) {
            reading.lines << QStringLiteral("messaggio %1 non leggibile (%2), ma non spostato: %3").arg(name, why, error);
            ++reading.waiting;
            return;
        }
        QFile reason(QDir(asideFolder()).filePath(given + QStringLiteral(".motivo.txt")));
        if (reason.open(QIODevice::WriteOnly | QIODevice::Truncate))
            reason.write((why + QLatin1Char('\n')).toUtf8());
        reading.lines << QStringLiteral("messaggio %1 messo da parte in %2: %3").arg(name, asideFolder(), why);
        ++reading.setAside;
    };
    auto done = [&](const QString &name, const QString &line) {
        QString error;
        if (moveInto(dir.filePath(name), doneFolder(), &error).isEmpty())
            reading.lines << line + QStringLiteral(" (file non spostato: %1)").arg(error);
        else
            reading.lines << line;
    };

    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        if (file.size() > Sdi::MaxMessageSize) {
            setAside(name, QStringLiteral("file troppo grande (%1 byte)").arg(file.size()));
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            setAside(name, QStringLiteral("file non leggibile: %1").arg(file.errorString()));
            continue;
        }
        const QByteArray bytes = file.read(Sdi::MaxMessageSize + 1);
        file.close();
        const Sdi::MessageRead read = Sdi::readMessage(bytes);
        if (!read.message) {
            setAside(name, read.error);
            continue;
        }
        const Sdi::Message &m = *read.message;
        if (!m.isAnswer()) {
            setAside(name, QStringLiteral("metadati di una fattura ricevuta (%1), non una risposta a una fattura inviata").arg(m.nomeFile));
            continue;
        }
        try {
            const StoreOutcome outcome = storeSdiMessage(conn, m, name);
            switch (outcome.result) {
            case StoreResult::Stored:
                ++reading.stored;
                done(name, QStringLiteral("messaggio %1 (%2) registrato per la fattura %3, file %4%5")
                               .arg(name, Sdi::typeCaption(m.type))
                               .arg(outcome.idInvio)
                               .arg(m.nomeFile, outcome.reopened ? QStringLiteral(": fattura scartata, di nuovo modificabile e da reinviare") : QString()));
                break;
            case StoreResult::AlreadyStored:
                ++reading.duplicates;
                done(name, QStringLiteral("messaggio %1 (%2) già registrato: non registrato di nuovo").arg(name, Sdi::typeCaption(m.type)));
                break;
            case StoreResult::UnknownInvoice:
                setAside(name, QStringLiteral("nessuna fattura ha il file %1").arg(m.nomeFile));
                break;
            }
        } catch (const DbError &e) {
            if (!e.isConnectionError() && e.code() != 1146) {
                setAside(name, QStringLiteral("errore del database: %1").arg(e.text()));
                continue;
            }
            // Not the file's fault: it waits for the next reading, and so do the others.
            reading.waiting += int(names.size() - names.indexOf(name));
            reading.lines << QStringLiteral("messaggi non letti, restano in %1: database non disponibile (%2)").arg(m_folder, e.text());
            break;
        } catch (const AppError &e) {
            setAside(name, e.text());
        }
    }
    return reading;
}
