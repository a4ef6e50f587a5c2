#include "ui/screens/elenco_carico/received_file_place.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

PlaceOutcome refused(const QString &why) { return {false, why}; }

bool sameContent(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    return fa.readAll() == fb.readAll();
}

} // namespace

PlaceOutcome placeInReceivedFolder(const QString &sourcePath, const QString &receivedFolder)
{
    const QFileInfo source(sourcePath);
    if (!source.isFile())
        return refused(QStringLiteral("File non trovato: %1").arg(QDir::toNativeSeparators(sourcePath)));
    if (!QDir().mkpath(receivedFolder))
        return refused(QStringLiteral("Impossibile creare la cartella delle fatture ricevute %1").arg(QDir::toNativeSeparators(receivedFolder)));
    const QFileInfo target(QDir(receivedFolder).filePath(source.fileName()));
    if (target.exists()) {
        if (target.canonicalFilePath() == source.canonicalFilePath() || sameContent(source.filePath(), target.filePath()))
            return {true, {}};
        return refused(QStringLiteral("Nella cartella delle fatture ricevute (%1) esiste gia un file diverso di nome %2: "
                                      "rinominare il file da caricare")
                           .arg(QDir::toNativeSeparators(receivedFolder), source.fileName()));
    }
    QFile in(source.filePath());
    if (!in.open(QIODevice::ReadOnly))
        return refused(QStringLiteral("File non leggibile: %1 (%2)").arg(QDir::toNativeSeparators(sourcePath), in.errorString()));
    QSaveFile out(target.filePath());
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit())
        return refused(QStringLiteral("Impossibile copiare %1 in %2 (%3)")
                           .arg(source.fileName(), QDir::toNativeSeparators(receivedFolder), out.errorString()));
    return {true, {}};
}
