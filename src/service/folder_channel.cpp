#include "service/folder_channel.h"

#include "data/app_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

} // namespace

FolderChannel::FolderChannel(QString outbox) : m_outbox(std::move(outbox))
{
    // Temporary copies left by a service that stopped in the middle of a delivery: the
    // delivery itself either has its name in the outbox or did not happen.
    const QDir folder(m_outbox);
    for (const QString &name : folder.entryList({QStringLiteral(".*.??????")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(name));
}

void FolderChannel::deliver(const QByteArray &bytes, const QString &bareName)
{
    if (!QDir().mkpath(m_outbox))
        throw AppError(QStringLiteral("impossibile creare la cartella di uscita %1").arg(m_outbox));
    const QString target = QDir(m_outbox).filePath(bareName);
    if (QFile::exists(target))
        throw AppError(QStringLiteral("nella cartella di uscita %1 c'è già un file %2 in attesa di caricamento: non viene sostituito")
                           .arg(m_outbox, bareName));
    // Written whole under a hidden temporary name, then linked under its own name: the
    // link fails rather than replace a file that appeared meanwhile.
    QTemporaryFile temporary(QDir(m_outbox).filePath(QStringLiteral(".%1.XXXXXX").arg(bareName)));
    if (!temporary.open() || temporary.write(bytes) != bytes.size() || !temporary.flush())
        throw AppError(QStringLiteral("impossibile scrivere %1 nella cartella di uscita %2: %3")
                           .arg(bareName, m_outbox, temporary.errorString()));
    if (::link(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        if (error == EEXIST)
            throw AppError(QStringLiteral("nella cartella di uscita %1 c'è già un file %2 in attesa di caricamento: non viene sostituito")
                               .arg(m_outbox, bareName));
        throw AppError(QStringLiteral("impossibile scrivere %1 nella cartella di uscita %2: %3").arg(bareName, m_outbox, systemText(error)));
    }
    temporary.close();  // removed with the object; the linked name stays
}

bool FolderChannel::withdraw(const QString &bareName)
{
    return QFile::remove(QDir(m_outbox).filePath(bareName));
}

bool FolderChannel::holds(const QString &bareName, const QByteArray &sha256) const
{
    QFile file(QDir(m_outbox).filePath(bareName));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result() == sha256;
}

QString FolderChannel::destination() const
{
    return QStringLiteral("nella cartella di uscita %1").arg(m_outbox);
}
