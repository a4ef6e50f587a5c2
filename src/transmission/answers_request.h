#pragma once
// Asks the local service to read the exchange system's answers now (its notifications
// folder and, with the PEC channel, the mailbox), waiting for its answer.
#include <QString>

struct ServiceSettings;

// "<base>/Fatt_Ven/notifiche.php".
QString answersReadingAddress(const QString &baseUrl);

// The service's answer as plain text; when the service cannot be reached, an Italian text
// that says so.
QString readAnswersNow(const ServiceSettings &settings);
