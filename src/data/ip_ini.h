#pragma once
// The connection settings file ip.ini: lines ended by CR LF, of which only the first
// three count; a missing line reads as empty text and nothing is trimmed.
#include <QString>
#include <optional>

struct IpIni {
    QString server;    // line 1: database server
    QString database;  // line 2: electronic-invoice database
    QString title;     // line 3: title of the issued-invoice workspace

    static constexpr int ServerLength = 15;
    static constexpr int DatabaseLength = 10;
};

// Reads the file; nullopt when there is no such file. A file that exists but cannot be
// read raises AppError with the system's text.
std::optional<IpIni> readIpIni(const QString &path = QStringLiteral("ip.ini"));
