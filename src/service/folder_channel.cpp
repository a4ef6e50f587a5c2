#include "folder_channel.h"

#include "app_error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

FolderChannel::FolderChannel(QString outbox) : m_outbox(std::move(outbox)) {}

void FolderChannel::deliver(const QByteArray &bytes, const QString &bareName)
{
    if (!QDir().mkpath(m_outbox))
        throw AppError(QStringLiteral("impossibile creare la cartella di uscita %1").arg(m_outbox));
    QSaveFile target(QDir(m_outbox).filePath(bareName));
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit())
        throw AppError(QStringLiteral("impossibile scrivere %1 nella cartella di uscita %2: %3")
                           .arg(bareName, m_outbox, target.errorString()));
}

bool FolderChannel::withdraw(const QString &bareName)
{
    return QFile::remove(QDir(m_outbox).filePath(bareName));
}

QString FolderChannel::destination() const
{
    return QStringLiteral("nella cartella di uscita %1").arg(m_outbox);
}
