// The settings of the reading of the exchange system's answers in servizio.ini: the
// notifications folder taken from the file's folder, the interval, and the PEC mailbox,
// whose server defaults to the SMTP one; the address the application requests.
#include "transmission/answers_request.h"
#include "settings/service_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ServiceSettings settingsOf(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("servizio.ini"));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    return loadServiceSettings(path);
}

TEST(AnswersSettings, DefaultsAndValuesOfTheReadingOfTheAnswers)
{
    QTemporaryDir dir;
    const ServiceSettings defaults = loadServiceSettings(dir.filePath(QStringLiteral("nessuno.ini")));
    EXPECT_EQ(defaults.notifiche, QDir(dir.path()).filePath(QStringLiteral("in/notifiche")));
    EXPECT_EQ(defaults.notificheIntervallo, 300);
    EXPECT_TRUE(defaults.pecImapServer.isEmpty());
    EXPECT_EQ(defaults.pecImapPort, 993);
    EXPECT_EQ(defaults.pecImapSecurity, QStringLiteral("ssl"));
    EXPECT_EQ(defaults.pecMailbox, QStringLiteral("INBOX"));

    const ServiceSettings smtpServer = settingsOf(dir, "pec_server=smtps.pec.example.it\npec_imap_server=\n");
    EXPECT_EQ(smtpServer.pecImapServer, QStringLiteral("smtps.pec.example.it"));

    const ServiceSettings s = settingsOf(dir, "notifiche=messaggi\nnotifiche_intervallo=60\npec_server=smtps.pec.example.it\n"
                                              "pec_imap_server=imaps.pec.example.it\npec_imap_port=143\npec_imap_security=starttls\n"
                                              "pec_mailbox=Posta in arrivo\n");
    EXPECT_EQ(s.notifiche, QDir(dir.path()).filePath(QStringLiteral("messaggi")));
    EXPECT_EQ(s.notificheIntervallo, 60);
    EXPECT_EQ(s.pecImapServer, QStringLiteral("imaps.pec.example.it"));
    EXPECT_EQ(s.pecImapPort, 143);
    EXPECT_EQ(s.pecImapSecurity, QStringLiteral("starttls"));
    EXPECT_EQ(s.pecMailbox, QStringLiteral("Posta in arrivo"));

    EXPECT_EQ(answersReadingAddress(serviceBaseUrl(s)), QStringLiteral("http://localhost:8642/Fatt_Ven/notifiche.php"));
}

} // namespace
