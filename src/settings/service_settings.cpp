#include "settings/service_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>

QHash<QString, QString> readSettingsValues(const QString &path)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';'))
            || line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        values.insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return values;
}

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
        const QHash<QString, QString> ini = readSettingsValues(path);
        auto text = [&](const char *key, QString &value) { value = ini.value(QLatin1String(key), value); };
        // A number that does not read as one leaves the default.
        auto number = [&](const char *key, int &value) {
            bool ok = false;
            const int v = ini.value(QLatin1String(key)).toInt(&ok);
            if (ok)
                value = v;
        };
        number("port", s.port);
        text("outbox", s.outbox);
        text("received", s.received);
        text("channel", s.channel);
        text("schema", s.schema);
        text("journal", s.journal);
        text("secret", s.secret);
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
        text("pec_security", s.pecSecurity);
        text("notifiche", s.notifiche);
        number("notifiche_intervallo", s.notificheIntervallo);
        text("pec_imap_server", s.pecImapServer);
        number("pec_imap_port", s.pecImapPort);
        text("pec_imap_security", s.pecImapSecurity);
        text("pec_mailbox", s.pecMailbox);
    }
    if (s.pecImapServer.isEmpty())
        s.pecImapServer = s.pecServer;
    absolute(s.outbox);
    absolute(s.received);
    absolute(s.notifiche);
    absolute(s.schema);
    absolute(s.journal);
    return s;
}

QString serviceBaseUrl(const ServiceSettings &settings)
{
    return QStringLiteral("http://localhost:%1").arg(settings.port);
}

QString withServiceKey(const QString &address, const ServiceSettings &settings)
{
    if (settings.secret.isEmpty())
        return address;
    return address + (address.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + QStringLiteral("chiave=")
        + QString::fromLatin1(QUrl::toPercentEncoding(settings.secret));
}
