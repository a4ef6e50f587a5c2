#pragma once
// The settings of the local sending and loading service, shared by the service and by the
// application: the file servizio.ini in the folder the program is started from (key=value
// lines; every key optional).
#include <QHash>
#include <QString>

struct ServiceSettings {
    int port = 8642;            // on the loopback interface; the application uses http://localhost:<port>
                                // (0: the service takes any free port and prints it)
    QString outbox = QStringLiteral("out/outbox");      // channel "folder": where sent files go
    QString received = QStringLiteral("in/ricevute");   // received invoices to load
    QString channel = QStringLiteral("folder");         // "folder" or "pec"
    QString schema;             // folder of the FatturaPA schema; empty: the one shipped with the program
    QString journal = QStringLiteral("out/consegne");   // the service's record of hand-overs in progress
    // The installation's secret: the application adds it to every address of the service it
    // opens, and the service refuses the sending and loading addresses without it. ./run
    // writes it, in a settings file that only the user can read.
    QString secret;
    // Database: empty values mean those of ip.ini (server, database) and the fixed password.
    QString dbHost, dbSocket, dbName;
    int dbPort = 0;
    // PEC channel (SMTP over TLS).
    QString pecServer, pecUser, pecPassword, pecFrom;
    QString pecTo = QStringLiteral("sdi01@pec.fatturapa.it");
    int pecPort = 465;
    // "ssl": TLS from the first byte (port 465); "starttls": plain connection raised to TLS
    // before anything is sent (port 587); "none": no TLS at all, only for a test server on
    // the loopback interface.
    QString pecSecurity = QStringLiteral("ssl");
    // The exchange system's answers: message files are read from `notifiche` (done ones
    // move to its "elaborati" folder, unreadable or unmatched ones to "scartati") every
    // `notificheIntervallo` seconds, and on request; with channel "pec" the PEC mailbox is
    // read first over IMAP (server and log-in default to those of the SMTP side).
    QString notifiche = QStringLiteral("in/notifiche");
    int notificheIntervallo = 300;
    QString pecImapServer;      // empty: pec_server
    int pecImapPort = 993;
    QString pecImapSecurity = QStringLiteral("ssl");  // "ssl" (993), "starttls" (143) or "none" (loopback only)
    QString pecMailbox = QStringLiteral("INBOX");
};

// The key=value lines of a settings file, keys in lower case; blanks around both are dropped,
// lines starting with '#' or ';' and [section] lines are ignored. A value is taken as it stands
// (a password may hold ',' or ';'). A missing or unreadable file gives no values.
QHash<QString, QString> readSettingsValues(const QString &path);

// Reads `path` (a missing file gives the defaults); relative folders are taken from the
// folder of the file.
ServiceSettings loadServiceSettings(const QString &path = QStringLiteral("servizio.ini"));
// The address of the service's root, "http://localhost:<port>".
QString serviceBaseUrl(const ServiceSettings &settings);
// `address` (of the service, with its query) with the installation's secret added as the
// query key "chiave"; unchanged when the settings hold no secret.
QString withServiceKey(const QString &address, const ServiceSettings &settings);
