#include "transmission/answers_request.h"

#include "transmission/address_opener.h"
#include "settings/service_settings.h"

QString answersReadingAddress(const QString &baseUrl) { return baseUrl + QStringLiteral("/Fatt_Ven/notifiche.php"); }

QString readAnswersNow(const ServiceSettings &settings)
{
    // The mailbox may take a while: as long as the service gives itself to read it.
    return requestServiceAnswer(withServiceKey(answersReadingAddress(serviceBaseUrl(settings)), settings), 330000);
}
