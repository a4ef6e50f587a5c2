// Signing on the way out, against the real service program and the private test server:
// a certification authority and signing certificates made here, the key taken from a
// PKCS#12 file or from a SoftHSM token. A public administration's invoice leaves as a
// CAdES-BES "<name>.p7m" that the program's reader and `openssl cms -verify` accept; a
// certificate that may not sign, a wrong password or PIN stop the send with nothing sent.
#include "transmission/address_opener.h"
#include "data/app_error.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "transmission/invio_sdi.h"
#include "recorded_messages.h"
#include "service_process.h"
#include "receiving/signed_content.h"
#include "service/signing_settings.h"
#include "soft_token.h"
#include "test_pki.h"
#include "written_invoice_test.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <openssl/cms.h>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;
using ServiceTest::SoftToken;
using TestPki::Day;

constexpr const char *Password = "pw-Zq81!x";
constexpr const char *Pin = "735291";
constexpr const char *SignerName = "/C=IT/O=Alfa & Beta S.r.l./CN=Mario Rossi";

struct RunResult {
    int exitCode = -1;
    QString output;
};

RunResult run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000))
        return {-1, QStringLiteral("did not finish")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// "dd/MM/yyyy" of now + seconds, as the refusal shows the certificate's dates.
QString day(long seconds)
{
    return QDateTime::currentDateTimeUtc().addSecs(seconds).toString(QStringLiteral("dd/MM/yyyy"));
}

class SigningTest : public WrittenInvoiceTest {
protected:
    static inline std::unique_ptr<QTemporaryDir> keys;
    static inline std::unique_ptr<TestPki::Authority> ca;
    static inline std::unique_ptr<TestPki::Signer> signer;

    std::unique_ptr<QTemporaryDir> outboxParent;

    static void SetUpTestSuite()
    {
        WrittenInvoiceTest::SetUpTestSuite();
        keys = std::make_unique<QTemporaryDir>();
        ca = std::make_unique<TestPki::Authority>();
        signer = std::make_unique<TestPki::Signer>(*ca, SignerName, -Day, 365 * Day);
        TestPki::writeFile(keyFile(QStringLiteral("ca.pem")), TestPki::certificatePem(ca->cert.get()), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        TestPki::writeFile(keyFile(QStringLiteral("firma.p12")), TestPki::pkcs12(signer->key.get(), signer->cert.get(), ca->cert.get(), Password));
    }
    static void TearDownTestSuite()
    {
        signer.reset();
        ca.reset();
        keys.reset();
        WrittenInvoiceTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        outboxParent = std::make_unique<QTemporaryDir>();
    }

    static QString keyFile(const QString &name) { return keys->filePath(name); }
    QString outbox() const { return outboxParent->filePath(QStringLiteral("outbox")); }
    QStringList outboxFiles() const { return QDir(outbox()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    QByteArray outboxFile(const QString &name) const { return XmlTest::readFile(QDir(outbox()).filePath(name)); }

    // A service of this test's outbox with `signing` added to its settings.
    std::unique_ptr<ServiceProcess> startService(const QMap<QString, QString> &signing)
    {
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("channel"), QStringLiteral("folder"));
        settings.insert(QStringLiteral("outbox"), outbox());
        settings.insert(signing);
        auto service = std::make_unique<ServiceProcess>(settings);
        EXPECT_TRUE(service->started());
        return service;
    }
    static QMap<QString, QString> fileKey(const QString &file = keyFile(QStringLiteral("firma.p12")), const QString &password = QLatin1String(Password))
    {
        return {{QStringLiteral("signing_file"), file}, {QStringLiteral("signing_password"), password}};
    }

    // A public administration's invoice written by CreaFileXmlPA.
    int paInvoice()
    {
        const int id = addInvoice({{"inviata", 0}, {"cod_dest", "UFABCD"}, {"cod_fis", "81000130607"}});
        addLine(id);
        select(id);
        CreaFileXmlPA(*diz, QStringLiteral("A"));
        EXPECT_TRUE(XmlTest::readFile(writtenPath(id)).contains("<FormatoTrasmissione>FPA12</FormatoTrasmissione>"));
        return id;
    }

    static Reply send(ServiceProcess &service, const QString &name, int id, const char *script = "mail_sdi_pa.php")
    {
        return service.get(QStringLiteral("/Fatt_Ven/%1?nome_file=%2&n_invio=%3").arg(QLatin1String(script), name).arg(id));
    }

    // The envelope is a CAdES-BES of exactly `plain`: the program's reader gives it back,
    // openssl verifies it with the test authority, and its one signer carries SHA-256 and
    // the signed attributes content type, message digest, signing time (within the last
    // minutes) and signing-certificate-v2, and no others.
    void expectCadesOf(const QByteArray &envelope, const QByteArray &plain)
    {
        const Received::SignedContent back = Received::extractSignedContent(envelope);
        ASSERT_TRUE(back.ok) << back.error.toStdString();
        EXPECT_EQ(back.content, plain);

        QTemporaryDir work;
        const QString in = work.filePath(QStringLiteral("f.p7m")), out = work.filePath(QStringLiteral("f.xml"));
        TestPki::writeFile(in, envelope);
        const RunResult verify = run(QStringLiteral("openssl"), {"cms", "-verify", "-inform", "DER", "-in", in, "-binary", "-CAfile",
                                                                 keyFile(QStringLiteral("ca.pem")), "-out", out});
        EXPECT_EQ(verify.exitCode, 0) << verify.output.toStdString();
        EXPECT_EQ(XmlTest::readFile(out), plain);
        const RunResult print = run(QStringLiteral("openssl"), {"cms", "-cmsout", "-print", "-inform", "DER", "-in", in});
        EXPECT_EQ(print.exitCode, 0) << print.output.toStdString();
        for (const char *shown : {"contentType", "messageDigest", "signingTime", "id-smime-aa-signingCertificateV2", "sha256"})
            EXPECT_TRUE(print.output.contains(QLatin1String(shown))) << shown << "\n" << print.output.toStdString();

        const unsigned char *p = reinterpret_cast<const unsigned char *>(envelope.constData());
        std::unique_ptr<CMS_ContentInfo, decltype(&CMS_ContentInfo_free)> cms(d2i_CMS_ContentInfo(nullptr, &p, long(envelope.size())),
                                                                             &CMS_ContentInfo_free);
        ASSERT_TRUE(cms);
        EXPECT_EQ(OBJ_obj2nid(CMS_get0_eContentType(cms.get())), NID_pkcs7_data);
        STACK_OF(CMS_SignerInfo) *infos = CMS_get0_SignerInfos(cms.get());
        ASSERT_EQ(sk_CMS_SignerInfo_num(infos), 1);
        CMS_SignerInfo *si = sk_CMS_SignerInfo_value(infos, 0);
        X509_ALGOR *digest = nullptr, *signature = nullptr;
        CMS_SignerInfo_get0_algs(si, nullptr, nullptr, &digest, &signature);
        EXPECT_EQ(OBJ_obj2nid(digest->algorithm), NID_sha256);
        EXPECT_EQ(CMS_signed_get_attr_count(si), 4);
        for (int nid : {NID_pkcs9_contentType, NID_pkcs9_messageDigest, NID_pkcs9_signingTime, NID_id_smime_aa_signingCertificateV2})
            EXPECT_GE(CMS_signed_get_attr_by_NID(si, nid, -1), 0) << OBJ_nid2sn(nid);
        const auto *signingTime = static_cast<const ASN1_TIME *>(CMS_signed_get0_data_by_OBJ(si, OBJ_nid2obj(NID_pkcs9_signingTime), -3, V_ASN1_UTCTIME));
        ASSERT_NE(signingTime, nullptr);
        int days = 0, seconds = 0;
        ASSERT_EQ(ASN1_TIME_diff(&days, &seconds, signingTime, nullptr), 1);  // from the signing time to now
        EXPECT_EQ(days, 0);
        EXPECT_GE(seconds, 0);
        EXPECT_LT(seconds, 600);
        EXPECT_EQ(CMS_SignerInfo_cert_cmp(si, signer->cert.get()), 0);
    }

    void expectNothingSent(int id)
    {
        EXPECT_EQ(sentFlag(id), QStringLiteral("0"));
        EXPECT_TRUE(outboxFiles().isEmpty()) << outboxFiles().join(QLatin1Char(' ')).toStdString();
    }
};

TEST_F(SigningTest, PublicAdministrationInvoiceLeavesSignedWithTheKeyOfACertificateFile)
{
    auto service = startService(fileKey());
    const int id = paInvoice();
    const QString name = storedFileName(id);
    const QByteArray plain = XmlTest::readFile(writtenPath(id));

    const Reply reply = send(*service, name, id);
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(name + QStringLiteral(".p7m"))) << reply.body.toStdString();
    EXPECT_EQ(outboxFiles(), QStringList{name + QStringLiteral(".p7m")});
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(storedFileName(id), name);  // the invoice keeps its .xml name
    EXPECT_TRUE(name.endsWith(QLatin1String(".xml")));
    expectCadesOf(outboxFile(name + QStringLiteral(".p7m")), plain);
    EXPECT_FALSE(service->log().contains(QLatin1String(Password)));
    EXPECT_FALSE(reply.body.contains(QLatin1String(Password)));
}

TEST_F(SigningTest, PublicAdministrationInvoiceLeavesSignedWithTheKeyOfASmartCard)
{
    SoftToken token(QStringLiteral("Firma Prova"), QLatin1String(Pin));
    ASSERT_TRUE(token.ok());
    ASSERT_TRUE(token.put(QStringLiteral("firma"), TestPki::keyPem(signer->key.get()), TestPki::certificateDer(signer->cert.get())));

    ASSERT_FALSE(token.slot().isEmpty());
    // The token named by its label, then by its slot number (and the key by its label, then
    // the token's only key); each service signs twice, the token opened anew every time.
    const QMap<QString, QString> ways[] = {
        {{QStringLiteral("pkcs11_token"), QStringLiteral("Firma Prova")}, {QStringLiteral("pkcs11_key"), QStringLiteral("firma")}},
        {{QStringLiteral("pkcs11_slot"), token.slot()}},
    };
    for (const QMap<QString, QString> &way : ways) {
        SCOPED_TRACE(way.keys().join(QLatin1Char(' ')).toStdString());
        auto settings = way;
        settings.insert(QStringLiteral("pkcs11_module"), SoftToken::module());
        settings.insert(QStringLiteral("pkcs11_pin"), QLatin1String(Pin));
        auto service = startService(settings);
        for (int round = 0; round < 2; ++round) {
            const int id = paInvoice();
            const QString name = storedFileName(id);
            const Reply reply = send(*service, name, id);
            EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
            EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
            expectCadesOf(outboxFile(name + QStringLiteral(".p7m")), XmlTest::readFile(writtenPath(id)));
            EXPECT_FALSE(reply.body.contains(QLatin1String(Pin)));
        }
        EXPECT_FALSE(service->log().contains(QLatin1String(Pin)));
    }
    EXPECT_EQ(outboxFiles().size(), 4);
}

// A wrong PIN stops the send; the service then makes no further try, so that a real card
// is not locked by the next requests.
TEST_F(SigningTest, AWrongPinIsRefusedWithNothingSentAndNotTriedAgain)
{
    SoftToken token(QStringLiteral("Firma Prova"), QLatin1String(Pin));
    ASSERT_TRUE(token.ok());
    ASSERT_TRUE(token.put(QStringLiteral("firma"), TestPki::keyPem(signer->key.get()), TestPki::certificateDer(signer->cert.get())));
    const QString wrongPin = QStringLiteral("190846");
    auto service = startService({{QStringLiteral("pkcs11_module"), SoftToken::module()},
                                 {QStringLiteral("pkcs11_token"), QStringLiteral("Firma Prova")},
                                 {QStringLiteral("pkcs11_pin"), wrongPin}});
    const int id = paInvoice();
    const Reply first = send(*service, storedFileName(id), id);
    EXPECT_EQ(first.status, 422);
    EXPECT_TRUE(first.body.contains(QStringLiteral("PIN della smart card errato"))) << first.body.toStdString();
    const Reply second = send(*service, storedFileName(id), id);
    EXPECT_EQ(second.status, 422);
    EXPECT_TRUE(second.body.contains(QStringLiteral("ha già rifiutato il PIN"))) << second.body.toStdString();
    expectNothingSent(id);
    EXPECT_FALSE(first.body.contains(wrongPin));
    EXPECT_FALSE(service->log().contains(wrongPin));
}

// Tokens that cannot be used: each refusal says why, without the PIN, and nothing is sent.
TEST_F(SigningTest, ATokenThatCannotBeUsedStopsTheSendWithNothingSent)
{
    SoftToken token(QStringLiteral("Firma Prova"), QLatin1String(Pin));
    ASSERT_TRUE(token.ok());
    ASSERT_TRUE(token.put(QStringLiteral("firma"), TestPki::keyPem(signer->key.get()), TestPki::certificateDer(signer->cert.get())));
    TestPki::Signer expired(*ca, SignerName, -400 * Day, -30 * Day, "critical,nonRepudiation", 7);
    ASSERT_TRUE(token.put(QStringLiteral("vecchia"), TestPki::keyPem(expired.key.get()), TestPki::certificateDer(expired.cert.get()),
                          QStringLiteral("02")));
    struct Case {
        const char *what;
        QMap<QString, QString> settings;
        const char *says;
    };
    const QString module = SoftToken::module();
    const Case cases[] = {
        {"expired certificate on the card", {{"pkcs11_token", "Firma Prova"}, {"pkcs11_key", "vecchia"}}, "è scaduto"},
        {"unknown key label", {{"pkcs11_token", "Firma Prova"}, {"pkcs11_key", "nessuna"}}, "chiave di firma non trovata sulla smart card \"Firma Prova\""},
        {"unknown token", {{"pkcs11_token", "Altra"}}, "chiave di firma non trovata sulla smart card \"Altra\""},
        {"missing module", {{"pkcs11_token", "Firma Prova"}, {"pkcs11_module", "/nessuna/libreria.so"}}, "libreria PKCS#11 /nessuna/libreria.so non trovata"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QMap<QString, QString> settings{{QStringLiteral("pkcs11_module"), module}, {QStringLiteral("pkcs11_pin"), QLatin1String(Pin)}};
        settings.insert(c.settings);
        auto service = startService(settings);
        const int id = paInvoice();
        const Reply reply = send(*service, storedFileName(id), id);
        EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
        const QString says = QString::fromUtf8(c.says);
        EXPECT_TRUE(reply.body.contains(says) || reply.body.contains(says.toHtmlEscaped())) << reply.body.toStdString();
        EXPECT_FALSE(reply.body.contains(QLatin1String(Pin)));
        expectNothingSent(id);
        EXPECT_FALSE(service->log().contains(QLatin1String(Pin)));
    }
}

// Certificates and files that may not sign: the answer names the certificate's subject and
// dates (or the file), and nothing goes out.
TEST_F(SigningTest, CertificatesThatMayNotSignStopTheSendWithNothingSent)
{
    TestPki::Signer expired(*ca, SignerName, -400 * Day, -30 * Day, "critical,nonRepudiation", 3);
    TestPki::Signer future(*ca, SignerName, 10 * Day, 400 * Day, "critical,nonRepudiation", 4);
    TestPki::Signer authentication(*ca, SignerName, -Day, 365 * Day, "critical,digitalSignature", 5);
    TestPki::Signer noUsage(*ca, SignerName, -Day, 365 * Day, "", 6);
    auto p12 = [&](const char *name, const TestPki::Signer &s, QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner) {
        const QString path = keyFile(QString::fromLatin1(name));
        TestPki::writeFile(path, TestPki::pkcs12(s.key.get(), s.cert.get(), ca->cert.get(), Password), permissions);
        return path;
    };
    const QString notPkcs12 = keyFile(QStringLiteral("autorita.pem"));
    TestPki::writeFile(notPkcs12, TestPki::certificatePem(ca->cert.get()));
    const QString subject = QStringLiteral("CN=Mario Rossi, O=Alfa & Beta S.r.l., C=IT");
    struct Case {
        const char *what;
        QMap<QString, QString> settings;
        QStringList says;
    };
    const Case cases[] = {
        {"expired", fileKey(p12("scaduto.p12", expired)), {subject, QStringLiteral("è scaduto"), day(-400 * Day), day(-30 * Day)}},
        {"not yet valid", fileKey(p12("futuro.p12", future)), {subject, QStringLiteral("non è ancora valido"), day(10 * Day), day(400 * Day)}},
        {"no non-repudiation", fileKey(p12("autenticazione.p12", authentication)), {subject, QStringLiteral("non ripudio")}},
        {"no key usage at all", fileKey(p12("senza_usi.p12", noUsage)), {subject, QStringLiteral("non ripudio")}},
        {"readable by others", fileKey(p12("aperto.p12", *signer, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther)),
         {QStringLiteral("leggibile anche da altri utenti"), QStringLiteral("chmod 600")}},
        {"wrong password", fileKey(keyFile(QStringLiteral("firma.p12")), QStringLiteral("sbagliata")), {QStringLiteral("password del certificato di firma")}},
        {"missing file", fileKey(keyFile(QStringLiteral("nessuno.p12"))), {QStringLiteral("non trovato")}},
        {"not a certificate file", fileKey(notPkcs12), {QStringLiteral("non è un certificato di firma PKCS#12")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        auto service = startService(c.settings);
        const int id = paInvoice();
        const Reply reply = send(*service, storedFileName(id), id);
        EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QStringLiteral("La fattura non è stata inviata"))) << reply.body.toStdString();
        for (const QString &text : c.says)
            EXPECT_TRUE(reply.body.contains(text.toHtmlEscaped()) || reply.body.contains(text)) << text.toStdString() << "\n"
                                                                                                  << reply.body.toStdString();
        expectNothingSent(id);
        EXPECT_FALSE(service->log().contains(QLatin1String(Password)));
    }
}

// Private customers' invoices leave as they are, unless the settings ask for them to be signed.
TEST_F(SigningTest, PrivateInvoiceLeavesUnsignedByDefaultAndSignedWhenAsked)
{
    {
        auto service = startService(fileKey());
        const int id = writtenInvoice({{"inviata", 0}});
        const QString name = storedFileName(id);
        const Reply reply = send(*service, name, id, "mail_sdi.php");
        EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
        EXPECT_EQ(outboxFiles(), QStringList{name});
        EXPECT_EQ(outboxFile(name), XmlTest::readFile(writtenPath(id)));
    }
    QDir(outbox()).removeRecursively();
    {
        auto settings = fileKey();
        settings.insert(QStringLiteral("sign_fpr12"), QStringLiteral("yes"));
        auto service = startService(settings);
        const int id = writtenInvoice({{"inviata", 0}});
        const QString name = storedFileName(id);
        const Reply reply = send(*service, name, id, "mail_sdi.php");
        EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
        EXPECT_EQ(outboxFiles(), QStringList{name + QStringLiteral(".p7m")});
        expectCadesOf(outboxFile(name + QStringLiteral(".p7m")), XmlTest::readFile(writtenPath(id)));
    }
}

// "Invio Fatture al SDI" hands every unsent invoice to the private customers' address; the
// service signs the public administration's file among them and leaves the other plain.
TEST_F(SigningTest, TheBatchSignsThePublicAdministrationInvoicesItSends)
{
    auto service = startService(fileKey());
    const int pa = paInvoice();
    const int privateId = writtenInvoice({{"inviata", 0}});
    const int pa2 = paInvoice();

    QTemporaryDir workingDir;
    {
        QFile ini(workingDir.filePath(QStringLiteral("servizio.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Text));
        ini.write(QStringLiteral("port=%1\nsecret=%2\n").arg(service->port()).arg(service->secret()).toUtf8());
    }
    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    DesktopAddressOpener noBrowser([](const QUrl &) { return false; });
    AddressOpener *previousOpener = installAddressOpener(&noBrowser);
    RecordedMessages messages;
    InvioFattureSdi(*diz, messages);
    installAddressOpener(previousOpener);
    QDir::setCurrent(previousDir);

    EXPECT_EQ(messages.informed.size(), 3) << messages.informed.join(QLatin1Char('\n')).toStdString();
    for (const QString &answer : messages.informed)
        EXPECT_TRUE(answer.contains(QStringLiteral("Fattura inviata"))) << answer.toStdString();
    QStringList expected{storedFileName(pa) + QStringLiteral(".p7m"), storedFileName(privateId), storedFileName(pa2) + QStringLiteral(".p7m")};
    expected.sort();
    EXPECT_EQ(outboxFiles(), expected);
    for (int id : {pa, privateId, pa2})
        EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    expectCadesOf(outboxFile(storedFileName(pa) + QStringLiteral(".p7m")), XmlTest::readFile(writtenPath(pa)));
    expectCadesOf(outboxFile(storedFileName(pa2) + QStringLiteral(".p7m")), XmlTest::readFile(writtenPath(pa2)));
    EXPECT_EQ(outboxFile(storedFileName(privateId)), XmlTest::readFile(writtenPath(privateId)));
}

// Signing settings that cannot work stop the service at its start, with the reason.
TEST(SigningSettings, SettingsThatCannotWorkAreRefusedAndARelativeFileIsTakenFromTheSettingsFolder)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("servizio.ini"));
    auto load = [&](const QByteArray &text) {
        TestPki::writeFile(ini, text);
        return loadSigningSettings(ini);
    };
    const std::pair<const char *, const char *> refused[] = {
        {"signing_file=a.p12\npkcs11_module=/m.so\npkcs11_token=T\npkcs11_pin=1\n", "non entrambi"},
        {"pkcs11_module=/m.so\npkcs11_token=T\n", "serve pkcs11_pin"},
        {"pkcs11_module=/m.so\npkcs11_pin=1\n", "pkcs11_token"},
        {"pkcs11_module=/m.so\npkcs11_pin=1\npkcs11_token=T\npkcs11_slot=2\n", "pkcs11_token"},
        {"pkcs11_module=/m.so\npkcs11_pin=1\npkcs11_slot=due\n", "deve essere un numero"},
        {"sign_fpr12=forse\n", "yes o no"},
    };
    for (const auto &[text, says] : refused) {
        SCOPED_TRACE(text);
        try {
            load(text);
            ADD_FAILURE() << "accepted";
        } catch (const AppError &e) {
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(says))) << e.text().toStdString();
            EXPECT_FALSE(e.text().contains(QStringLiteral("=1")));
        }
    }
    const SigningSettings s = load("signing_file = chiavi/firma.p12\nsigning_password = a;b=c \nsign_fpr12 = si\n");
    EXPECT_EQ(s.file, dir.filePath(QStringLiteral("chiavi/firma.p12")));
    EXPECT_EQ(s.password, QStringLiteral("a;b=c"));
    EXPECT_TRUE(s.signPrivate);
    EXPECT_FALSE(load("").signPrivate);
    EXPECT_FALSE(load("").usesFile());
}

} // namespace
