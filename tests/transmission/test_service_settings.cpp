// The service's settings file: key=value lines read as they stand, defaults for what is
// missing, folders taken from the file's own folder.
#include "settings/service_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString writeSettings(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("servizio.ini"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return path;
}

TEST(ServiceSettings, MissingFileGivesTheDefaultsWithFoldersOfTheCurrentFolder)
{
    QTemporaryDir dir;
    const ServiceSettings s = loadServiceSettings(dir.filePath(QStringLiteral("nessuno.ini")));
    EXPECT_EQ(s.port, 8642);
    EXPECT_EQ(s.channel, QStringLiteral("folder"));
    EXPECT_EQ(s.outbox, QDir(dir.path()).filePath(QStringLiteral("out/outbox")));
    EXPECT_EQ(s.received, QDir(dir.path()).filePath(QStringLiteral("in/ricevute")));
    EXPECT_TRUE(s.schema.isEmpty());
    EXPECT_EQ(s.pecTo, QStringLiteral("sdi01@pec.fatturapa.it"));
    EXPECT_EQ(s.pecPort, 465);
    EXPECT_EQ(s.pecSecurity, QStringLiteral("ssl"));
    EXPECT_EQ(serviceBaseUrl(s), QStringLiteral("http://localhost:8642"));
}

TEST(ServiceSettings, ValuesAreReadAsTheyStand)
{
    QTemporaryDir dir;
    const ServiceSettings s = loadServiceSettings(writeSettings(dir,
        "# comment\r\n"
        "; another comment\n"
        "[servizio]\n"
        "  port = 9001  \n"
        "channel=pec\n"
        "outbox=uscita\n"
        "received=/srv/ricevute\n"
        "schema=../schemi\n"
        "db_name=xml_prova\n"
        "db_port=33999\n"
        "pec_password=a,b;c#d=e\n"
        "pec_port=non un numero\n"
        "pec_security=starttls\n"
        "riga senza uguale\n"));
    EXPECT_EQ(s.port, 9001);
    EXPECT_EQ(s.channel, QStringLiteral("pec"));
    EXPECT_EQ(s.outbox, QDir(dir.path()).filePath(QStringLiteral("uscita")));
    EXPECT_EQ(s.received, QStringLiteral("/srv/ricevute"));
    EXPECT_EQ(s.schema, QDir::cleanPath(dir.path() + QStringLiteral("/../schemi")));
    EXPECT_EQ(s.dbName, QStringLiteral("xml_prova"));
    EXPECT_EQ(s.dbPort, 33999);
    EXPECT_EQ(s.pecPassword, QStringLiteral("a,b;c#d=e"));
    EXPECT_EQ(s.pecPort, 465);  // not a number: the default stays
    EXPECT_EQ(s.pecSecurity, QStringLiteral("starttls"));
    EXPECT_EQ(serviceBaseUrl(s), QStringLiteral("http://localhost:9001"));
}

} // namespace
