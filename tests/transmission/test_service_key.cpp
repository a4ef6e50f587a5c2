// The installation's secret on the service's addresses: read from servizio.ini and added by
// the application to every address of the service it opens.
#include "settings/service_settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ServiceKey, TheSecretOfTheSettingsIsAddedToEveryAddress)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("servizio.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("port=9100\nsecret=0a1b2c3d4e5f60718293a4b5c6d7e8f9\n");
    ini.close();
    const ServiceSettings s = loadServiceSettings(ini.fileName());
    EXPECT_EQ(s.secret, QStringLiteral("0a1b2c3d4e5f60718293a4b5c6d7e8f9"));
    EXPECT_EQ(withServiceKey(serviceBaseUrl(s) + QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=a.xml"), s),
              QStringLiteral("http://localhost:9100/Fatt_Acq/read_xml.php?nome_file=a.xml&chiave=0a1b2c3d4e5f60718293a4b5c6d7e8f9"));
    EXPECT_EQ(withServiceKey(serviceBaseUrl(s) + QStringLiteral("/"), s),
              QStringLiteral("http://localhost:9100/?chiave=0a1b2c3d4e5f60718293a4b5c6d7e8f9"));
}

TEST(ServiceKey, WithoutASecretTheAddressStaysAsItIs)
{
    const ServiceSettings s;
    EXPECT_EQ(withServiceKey(QStringLiteral("http://localhost:8642/Fatt_Ven/mail_sdi.php?nome_file=a.xml&n_invio=1"), s),
              QStringLiteral("http://localhost:8642/Fatt_Ven/mail_sdi.php?nome_file=a.xml&n_invio=1"));
}

} // namespace
