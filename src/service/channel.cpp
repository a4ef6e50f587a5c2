#include "service/channel.h"

#include "data/app_error.h"
#include "service/folder_channel.h"
#include "service/pec_channel.h"

std::unique_ptr<Channel> makeChannel(const ServiceSettings &settings)
{
    const QString name = settings.channel.trimmed().toLower();
    if (name.isEmpty() || name == QLatin1String("folder"))
        return std::make_unique<FolderChannel>(settings.outbox);
    if (name == QLatin1String("pec"))
        return std::make_unique<PecChannel>(settings);
    throw AppError(QStringLiteral("canale \"%1\" sconosciuto: le impostazioni ammettono folder o pec").arg(settings.channel));
}
