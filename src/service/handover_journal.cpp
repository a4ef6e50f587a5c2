#include "service/handover_journal.h"

#include "data/app_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char *Suffix = ".consegna";

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool writeAll(int fd, const QByteArray &text)
{
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

std::optional<HandoverRecord> readRecord(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    HandoverRecord r;
    bool numbered = false;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1).trimmed();
        if (key == "n_invio")
            r.number = value.toInt(&numbered);
        else if (key == "nome_file")
            r.name = QString::fromUtf8(value);
        else if (key == "sha256")
            r.sha256 = QByteArray::fromHex(value);
        else if (key == "stato")
            r.delivered = value == "consegnata";
    }
    if (!numbered || r.name.isEmpty())
        return std::nullopt;
    return r;
}

} // namespace

HandoverJournal::HandoverJournal(QString folder) : m_folder(std::move(folder)) {}

QString HandoverJournal::path(int number) const
{
    return QDir(m_folder).filePath(QString::number(number) + QLatin1String(Suffix));
}

void HandoverJournal::begin(int number, const QString &name, const QByteArray &bytes)
{
    if (!QDir().mkpath(m_folder))
        throw AppError(QStringLiteral("impossibile creare la cartella del registro delle consegne %1").arg(m_folder));
    const QByteArray text = "n_invio=" + QByteArray::number(number) + "\nnome_file=" + name.toUtf8() + "\nsha256="
        + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "\nstato=in corso\n";
    // A record left by an earlier hand-over has been settled by the caller before this one.
    const QByteArray file = QFile::encodeName(path(number));
    ::unlink(file.constData());
    const int fd = ::open(file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        throw AppError(QStringLiteral("impossibile registrare la consegna nel registro %1: %2").arg(m_folder, systemText(errno)));
    // In the file before anything goes out: a service that dies from here on (killed,
    // crashed) leaves the record for the next start. It is not forced to the disk: a flush
    // per sending would cost more than the sending itself.
    const bool written = writeAll(fd, text);
    const int error = errno;
    ::close(fd);
    if (!written) {
        ::unlink(file.constData());
        throw AppError(QStringLiteral("impossibile registrare la consegna nel registro %1: %2").arg(m_folder, systemText(error)));
    }
}

void HandoverJournal::delivered(int number)
{
    // Appended without waiting for the disk: after a crash of the machine the folder
    // channel still sees its delivery in the outbox.
    const int fd = ::open(QFile::encodeName(path(number)).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        throw AppError(QStringLiteral("registro delle consegne: manca la consegna in corso della fattura %1").arg(number));
    const bool written = writeAll(fd, "stato=consegnata\n");
    const int error = errno;
    ::close(fd);
    if (!written)
        throw AppError(QStringLiteral("impossibile registrare la consegna nel registro %1: %2").arg(m_folder, systemText(error)));
}

void HandoverJournal::finish(int number)
{
    ::unlink(QFile::encodeName(path(number)).constData());
}

std::optional<HandoverRecord> HandoverJournal::record(int number) const
{
    return readRecord(path(number));
}

std::vector<HandoverRecord> HandoverJournal::records() const
{
    std::vector<HandoverRecord> out;
    const QStringList names = QDir(m_folder).entryList({QStringLiteral("*") + QLatin1String(Suffix)}, QDir::Files, QDir::Name);
    for (const QString &name : names)
        if (auto r = readRecord(QDir(m_folder).filePath(name)))
            out.push_back(*r);
    return out;
}
