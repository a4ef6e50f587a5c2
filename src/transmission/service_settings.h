#pragma once
// The settings of the local sending and loading service, shared by the service and by the
// application: the file servizio.ini in the folder the program is started from (key=value
// lines; every key optional).
#include <QString>

struct ServiceSettings {
    int port = 8642;            // on the loopback interface; the application uses http://localhost:<port>
    QString outbox = QStringLiteral("out/outbox");      // channel "folder": where sent files go
    QString received = QStringLiteral("in/ricevute");   // received invoices to load
    QString channel = QStringLiteral("folder");         // "folder" or "pec"
    // Database: empty values mean those of ip.ini (server, database) and the fixed password.
    QString dbHost, dbSocket, dbName;
    int dbPort = 0;
    // PEC channel (SMTP over TLS).
    QString pecServer, pecUser, pecPassword, pecFrom;
    QString pecTo = QStringLiteral("sdi01@pec.fatturapa.it");
    int pecPort = 465;
};

// Reads `path` (a missing file gives the defaults); relative folders are taken from the
// folder of the file.
ServiceSettings loadServiceSettings(const QString &path = QStringLiteral("servizio.ini"));
// The address of the service's root, "http://localhost:<port>".
QString serviceBaseUrl(const ServiceSettings &settings);
