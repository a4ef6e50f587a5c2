#include "data/regular_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RegularFile refused(RegularFile::Fault fault, const QString &text)
{
    RegularFile f;
    f.fault = fault;
    f.error = text;
    return f;
}

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Closes the descriptor when the scope ends.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

RegularFile readRegularFile(const QString &path, qint64 maxBytes, const QString &shownName)
{
    // Opened without waiting: opening a FIFO for reading would otherwise block until a
    // writer appears. What the name holds is judged on the open descriptor, so that it
    // cannot be swapped between the look and the read.
    const QByteArray encoded = QFile::encodeName(path);
    Descriptor d{::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (d.fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return refused(RegularFile::Fault::Missing, QStringLiteral("File non trovato: %1").arg(shownName));
        return refused(RegularFile::Fault::Unreadable, QStringLiteral("File non leggibile: %1 (%2)").arg(shownName, systemText(error)));
    }
    struct stat info {};
    if (::fstat(d.fd, &info) != 0)
        return refused(RegularFile::Fault::Unreadable, QStringLiteral("File non leggibile: %1 (%2)").arg(shownName, systemText(errno)));
    if (!S_ISREG(info.st_mode))
        return refused(RegularFile::Fault::NotRegular,
                       QStringLiteral("%1 non è un file normale (è una cartella, una coda o un dispositivo) e non viene letto").arg(shownName));
    if (info.st_size > maxBytes)
        return refused(RegularFile::Fault::TooLarge, QStringLiteral("File troppo grande: %1 (%2 byte, al massimo %3)")
                                                         .arg(shownName)
                                                         .arg(qint64(info.st_size))
                                                         .arg(maxBytes));
    // Back to blocking reads of a regular file; a file that grows meanwhile is still cut
    // at the limit (one byte more is read to notice it).
    ::fcntl(d.fd, F_SETFL, ::fcntl(d.fd, F_GETFL) & ~O_NONBLOCK);
    RegularFile out;
    out.bytes.resize(qsizetype(info.st_size));
    qint64 filled = 0;
    for (;;) {
        if (filled == out.bytes.size()) {
            if (filled > maxBytes)
                return refused(RegularFile::Fault::TooLarge,
                               QStringLiteral("File troppo grande: %1 (al massimo %2 byte)").arg(shownName).arg(maxBytes));
            out.bytes.resize(qsizetype(std::min<qint64>(filled + 65536, maxBytes + 1)));
        }
        const ssize_t n = ::read(d.fd, out.bytes.data() + filled, size_t(out.bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refused(RegularFile::Fault::Unreadable, QStringLiteral("File non leggibile: %1 (%2)").arg(shownName, systemText(errno)));
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxBytes)
        return refused(RegularFile::Fault::TooLarge, QStringLiteral("File troppo grande: %1 (al massimo %2 byte)").arg(shownName).arg(maxBytes));
    out.bytes.truncate(qsizetype(filled));
    return out;
}
