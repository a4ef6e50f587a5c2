// The PEC channel: the service sends the invoice as an e-mail attachment to a small SMTP
// server that the test runs on the loopback interface.
#include "service_process.h"
#include "receiving/signed_content.h"
#include "smtp_sink.h"
#include "test_pki.h"
#include "written_invoice_test.h"

#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;
using ServiceTest::SmtpSink;

class ServicePecTest : public WrittenInvoiceTest {
protected:
    QMap<QString, QString> pecSettings(int smtpPort) const
    {
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("channel"), QStringLiteral("pec"));
        settings.insert(QStringLiteral("pec_server"), QStringLiteral("127.0.0.1"));
        settings.insert(QStringLiteral("pec_port"), QString::number(smtpPort));
        settings.insert(QStringLiteral("pec_security"), QStringLiteral("none"));
        settings.insert(QStringLiteral("pec_user"), QStringLiteral("fatture@pec.alfabeta.it"));
        settings.insert(QStringLiteral("pec_password"), QStringLiteral("se,gre;to"));
        settings.insert(QStringLiteral("pec_from"), QStringLiteral("fatture@pec.alfabeta.it"));
        settings.insert(QStringLiteral("pec_to"), QStringLiteral("sdi01@pec.fatturapa.it"));
        return settings;
    }

};

// The base64 body of the MIME part whose headers name `fileName` as an attachment, decoded.
QByteArray attachment(const QByteArray &message, const QString &fileName)
{
    const qsizetype disposition = message.indexOf("filename=\"" + fileName.toUtf8() + "\"");
    if (disposition < 0)
        return {};
    const qsizetype bodyStart = message.indexOf("\r\n\r\n", disposition);
    const qsizetype bodyEnd = message.indexOf("\r\n--", bodyStart);
    if (bodyStart < 0 || bodyEnd < 0)
        return {};
    QByteArray base64 = message.mid(bodyStart + 4, bodyEnd - bodyStart - 4);
    base64.replace("\r\n", "");
    return QByteArray::fromBase64(base64, QByteArray::AbortOnBase64DecodingErrors);
}

TEST_F(ServicePecTest, InvoiceGoesOutAsAnAttachmentToTheExchangeSystemAddress)
{
    SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    ServiceProcess service(pecSettings(sink.port()));
    ASSERT_TRUE(service.started());
    const int id = writtenInvoice();
    const QString name = storedFileName(id);

    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString() << service.log().toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("via PEC a sdi01@pec.fatturapa.it"))) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));

    const auto messages = sink.messages(1);
    ASSERT_EQ(messages.size(), 1u);
    const ServiceTest::SmtpMessage &m = messages.front();
    EXPECT_EQ(m.auth, QByteArray(1, '\0') + "fatture@pec.alfabeta.it" + QByteArray(1, '\0') + "se,gre;to");
    EXPECT_EQ(m.mailFrom, "fatture@pec.alfabeta.it");
    EXPECT_EQ(m.recipients, std::vector<QByteArray>{"sdi01@pec.fatturapa.it"});
    EXPECT_TRUE(m.data.contains("Subject: Invio fattura elettronica " + name.toUtf8())) << m.data.toStdString();
    EXPECT_TRUE(m.data.contains("To: <sdi01@pec.fatturapa.it>")) << m.data.toStdString();
    const QByteArray attached = attachment(m.data, name);
    EXPECT_FALSE(attached.isEmpty()) << m.data.toStdString();
    EXPECT_EQ(attached, XmlTest::readFile(writtenPath(id)));

    // Sent once: a second request is refused and sends no second message.
    const Reply again = service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id));
    EXPECT_EQ(again.status, 409);
    EXPECT_EQ(sink.messages(2, std::chrono::milliseconds(300)).size(), 1u);
}

// A signed invoice: the message names and attaches the signed file, the invoice keeps its .xml name.
TEST_F(ServicePecTest, SignedInvoiceGoesOutAsItsP7mFile)
{
    QTemporaryDir keys;
    TestPki::Authority ca;
    TestPki::Signer signer(ca, "/C=IT/CN=Mario Rossi", -TestPki::Day, TestPki::Day);
    const QString p12 = keys.filePath(QStringLiteral("firma.p12"));
    TestPki::writeFile(p12, TestPki::pkcs12(signer.key.get(), signer.cert.get(), ca.cert.get(), "pw"));
    SmtpSink sink;
    ASSERT_NE(sink.port(), 0);
    auto settings = pecSettings(sink.port());
    settings.insert(QStringLiteral("signing_file"), p12);
    settings.insert(QStringLiteral("signing_password"), QStringLiteral("pw"));
    settings.insert(QStringLiteral("sign_fpr12"), QStringLiteral("yes"));
    ServiceProcess service(settings);
    ASSERT_TRUE(service.started());
    const int id = writtenInvoice();
    const QString name = storedFileName(id), signedName = name + QStringLiteral(".p7m");

    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString() << service.log().toStdString();
    EXPECT_TRUE(reply.body.contains(signedName)) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(storedFileName(id), name);
    const auto messages = sink.messages(1);
    ASSERT_EQ(messages.size(), 1u);
    const QByteArray &data = messages.front().data;
    EXPECT_TRUE(data.contains("Subject: Invio fattura elettronica " + signedName.toUtf8())) << data.toStdString();
    EXPECT_TRUE(data.contains("application/pkcs7-mime")) << data.toStdString();
    const Received::SignedContent content = Received::extractSignedContent(attachment(data, signedName));
    ASSERT_TRUE(content.ok) << content.error.toStdString();
    EXPECT_EQ(content.content, XmlTest::readFile(writtenPath(id)));
}

TEST_F(ServicePecTest, MailServerThatCannotBeReachedLeavesTheInvoiceUnsent)
{
    int closedPort = 0;
    {
        SmtpSink gone;  // a port that was free a moment ago and is closed now
        closedPort = gone.port();
    }
    ServiceProcess service(pecSettings(closedPort));
    ASSERT_TRUE(service.started());
    const int id = writtenInvoice();
    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(storedFileName(id)).arg(id));
    EXPECT_EQ(reply.status, 502) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("Consegna non riuscita"))) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
}

} // namespace
