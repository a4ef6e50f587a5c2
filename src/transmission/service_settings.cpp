#include "service_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

ServiceSettings loadServiceSettings(const QString &path)
{
    ServiceSettings s;
    QFileInfo info(path);
    const QDir base = info.absoluteDir();
    auto absolute = [&](QString &value) {
        if (!value.isEmpty())
            value = QDir::cleanPath(base.absoluteFilePath(value));
    };
    if (info.exists()) {
        QSettings ini(path, QSettings::IniFormat);
        auto text = [&](const char *key, QString &value) { value = ini.value(QLatin1String(key), value).toString(); };
        auto number = [&](const char *key, int &value) { value = ini.value(QLatin1String(key), value).toInt(); };
        number("port", s.port);
        text("outbox", s.outbox);
        text("received", s.received);
        text("channel", s.channel);
        text("db_host", s.dbHost);
        text("db_socket", s.dbSocket);
        text("db_name", s.dbName);
        number("db_port", s.dbPort);
        text("pec_server", s.pecServer);
        text("pec_user", s.pecUser);
        text("pec_password", s.pecPassword);
        text("pec_from", s.pecFrom);
        text("pec_to", s.pecTo);
        number("pec_port", s.pecPort);
    }
    absolute(s.outbox);
    absolute(s.received);
    return s;
}

QString serviceBaseUrl(const ServiceSettings &settings)
{
    return QStringLiteral("http://localhost:%1").arg(settings.port);
}
