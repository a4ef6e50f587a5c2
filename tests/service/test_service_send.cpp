// The sending addresses of the service, against the real service program and the private
// test server: the invoice's file written by CreaFileXml, checked, copied into the outbox
// and the invoice marked as sent; every refusal leaves the invoice unsent and the outbox empty.
#include "transmission/address_opener.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "transmission/invio_sdi.h"
#include "recorded_messages.h"
#include "service_process.h"
#include "written_invoice_test.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <future>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

class ServiceSendTest : public WrittenInvoiceTest {
protected:
    static inline std::unique_ptr<QTemporaryDir> outboxParent;
    static inline std::unique_ptr<ServiceProcess> service;

    static void SetUpTestSuite()
    {
        WrittenInvoiceTest::SetUpTestSuite();
        outboxParent = std::make_unique<QTemporaryDir>();
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("channel"), QStringLiteral("folder"));
        settings.insert(QStringLiteral("outbox"), outbox());
        service = std::make_unique<ServiceProcess>(settings);
    }
    static void TearDownTestSuite()
    {
        service.reset();
        outboxParent.reset();
        WrittenInvoiceTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        ASSERT_TRUE(service->started());
        QDir(outbox()).removeRecursively();
    }

    static QString outbox() { return outboxParent->filePath(QStringLiteral("outbox")); }
    QStringList outboxFiles() const { return QDir(outbox()).entryList(QDir::Files | QDir::Hidden); }


    static Reply send(const QString &name, int id, const char *script = "mail_sdi.php")
    {
        return service->get(QStringLiteral("/Fatt_Ven/%1?nome_file=%2&n_invio=%3").arg(QLatin1String(script), name).arg(id));
    }

    // Rewrites part of the written file (the file's own text, so the edit is what the test says).
    void editWrittenFile(int id, const QString &from, const QString &to)
    {
        QFile f(writtenPath(id));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(f.readAll());
        f.close();
        ASSERT_TRUE(text.contains(from)) << "the written file has no " << from.toStdString();
        text.replace(from, to);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
};

TEST_F(ServiceSendTest, ValidInvoiceIsCopiedIntoTheOutboxAndMarkedSentThenASecondRequestIsRefused)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    ASSERT_EQ(sentFlag(id), QStringLiteral("NULL"));

    const Reply first = send(name, id);
    EXPECT_EQ(first.status, 200) << first.body.toStdString();
    EXPECT_TRUE(first.body.contains(QStringLiteral("Fattura inviata"))) << first.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(outboxFiles(), QStringList{name});  // no temporary file left behind
    EXPECT_EQ(XmlTest::readFile(QDir(outbox()).filePath(name)), XmlTest::readFile(writtenPath(id)));

    const Reply second = send(name, id);
    EXPECT_EQ(second.status, 409);
    EXPECT_TRUE(second.body.contains(QStringLiteral("Fattura già inviata"))) << second.body.toStdString();
    EXPECT_EQ(outboxFiles(), QStringList{name});
}

// A public administration's invoice (recipient code of six characters, flag 0 rather than
// NULL) written by CreaFileXmlPA, through the public-administration address: it passes the
// checks, but this service has no signing certificate and such a file never leaves unsigned.
TEST_F(ServiceSendTest, PublicAdministrationInvoiceIsNotSentUnsignedThroughItsAddress)
{
    const int id = addInvoice({{"inviata", 0}, {"cod_dest", "UFABCD"}, {"cod_fis", "81000130607"}});
    addLine(id);
    select(id);
    CreaFileXmlPA(*diz, QStringLiteral("A"));
    ASSERT_TRUE(XmlTest::readFile(writtenPath(id)).contains("<FormatoTrasmissione>FPA12</FormatoTrasmissione>"));

    const Reply reply = send(storedFileName(id), id, "mail_sdi_pa.php");
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("non è indicato alcun certificato di firma"))) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("0"));
    EXPECT_TRUE(outboxFiles().isEmpty());
}

// The same invoice with a private customer's seven-character code in an FPA12 file.
TEST_F(ServiceSendTest, PublicAdministrationFileWithAPrivateRecipientCodeIsRefusedWith00427)
{
    const int id = addInvoice({{"cod_dest", "ABC1234"}});
    addLine(id);
    select(id);
    CreaFileXmlPA(*diz, QStringLiteral("A"));
    const Reply reply = send(storedFileName(id), id, "mail_sdi_pa.php");
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("<li>00427 "))) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("ABC1234"))) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
    EXPECT_TRUE(outboxFiles().isEmpty());
}

TEST_F(ServiceSendTest, RequestsAtTheSameMomentSendTheInvoiceOnce)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    std::vector<std::future<Reply>> replies;
    for (int i = 0; i < 4; ++i)
        replies.push_back(std::async(std::launch::async, [&] { return send(name, id); }));
    int sent = 0, refused = 0;
    for (auto &r : replies) {
        const Reply reply = r.get();
        if (reply.status == 200)
            ++sent;
        else if (reply.status == 409 && reply.body.contains(QStringLiteral("Fattura già inviata")))
            ++refused;
        else
            ADD_FAILURE() << reply.status << " " << reply.body.toStdString();
    }
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(refused, 3);
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(outboxFiles(), QStringList{name});
}

// Requests that never reach the invoice. `%ID` and `%NAME` stand for the invoice's number and
// file name; the query is sent exactly as written.
TEST_F(ServiceSendTest, BadRequestsAreRefusedAndSendNothing)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    struct BadRequest {
        const char *query;
        int status;
        const char *says;
    };
    const BadRequest table[] = {
        {"nome_file=%NAME", 400, "servono nome_file e n_invio"},
        {"n_invio=%ID", 400, "servono nome_file e n_invio"},
        {"", 400, "servono nome_file e n_invio"},
        {"nome_file=&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=../%NAME&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=..%2F..%2Fetc%2Fpasswd&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=%2Ftmp%2F%NAME&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=sub/%NAME&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=..&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=.%NAME&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=%NAME%00.txt&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=%NAME;rm&n_invio=%ID", 400, "Nome file non ammesso"},
        {"nome_file=%NAME&n_invio=abc", 400, "n_invio deve essere un numero"},
        {"nome_file=%NAME&n_invio=-1", 400, "n_invio deve essere un numero"},
        {"nome_file=%NAME&n_invio=%ID.0", 400, "n_invio deve essere un numero"},
        {"nome_file=%NAME&n_invio=", 400, "n_invio deve essere un numero"},
        {"nome_file=%NAME&n_invio=99999999999", 400, "n_invio deve essere un numero"},
        {"nome_file=%NAME&n_invio=%ID&n_invio=999999", 400, "ripetuta"},
        {"nome_file=%NAME&nome_file=x.xml&n_invio=%ID", 400, "ripetuta"},
        {"nome_file=%NAME&n_invio=999999", 404, "Nessuna fattura con numero 999999"},
        {"nome_file=IT01234567890_99999.xml&n_invio=%ID", 404, "non ha il file IT01234567890_99999.xml"},
    };
    for (const BadRequest &b : table) {
        QString query = QString::fromLatin1(b.query);
        query.replace(QStringLiteral("%NAME"), name).replace(QStringLiteral("%ID"), QString::number(id));
        const Reply reply = service->get(QStringLiteral("/Fatt_Ven/mail_sdi.php?") + query);
        EXPECT_EQ(reply.status, b.status) << query.toStdString() << "\n" << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QString::fromUtf8(b.says))) << query.toStdString() << "\n" << reply.body.toStdString();
        EXPECT_TRUE(reply.body.startsWith(QStringLiteral("<!DOCTYPE html>")));
    }
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
    EXPECT_TRUE(outboxFiles().isEmpty());
}

TEST_F(ServiceSendTest, InvoiceWhoseFileIsMissingFromTheCompanyFolderIsRefused)
{
    const int id = writtenInvoice();
    ASSERT_TRUE(QFile::remove(writtenPath(id)));
    const Reply reply = send(storedFileName(id), id);
    EXPECT_EQ(reply.status, 404);
    EXPECT_TRUE(reply.body.contains(QStringLiteral("non trovato nella cartella dell&#x27;azienda"))
                || reply.body.contains(QStringLiteral("non trovato nella cartella dell'azienda")))
        << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
    EXPECT_TRUE(outboxFiles().isEmpty());
}

// Files the exchange system would reject: refused with every problem listed, code first.
TEST_F(ServiceSendTest, FilesFailingTheChecksAreRefusedWithTheirCodes)
{
    struct Faulty {
        const char *what;
        const char *from;
        const char *to;
        QStringList codes;
        const char *shows;
    };
    const Faulty table[] = {
        {"format: a rate without decimals", "<AliquotaIVA>22.00</AliquotaIVA>", "<AliquotaIVA>22</AliquotaIVA>", {"00200"}, "AliquotaIVA"},
        {"00423: quantity 1.50 for a total of 100", "<Quantita>1.00</Quantita>", "<Quantita>1.50</Quantita>", {"00423"}, "PrezzoTotale 100.0000"},
        {"not well-formed", "</p:FatturaElettronica>", "", {"00200"}, ""},
    };
    for (const Faulty &f : table) {
        SCOPED_TRACE(f.what);
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = writtenInvoice();
        editWrittenFile(id, QString::fromUtf8(f.from), QString::fromUtf8(f.to));
        const Reply reply = send(storedFileName(id), id);
        EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QStringLiteral("non supera i controlli"))) << reply.body.toStdString();
        for (const QString &code : f.codes)
            EXPECT_TRUE(reply.body.contains(QStringLiteral("<li>") + code + QLatin1Char(' '))
                        || reply.body.contains(QStringLiteral("<li>") + code + QLatin1Char(':')))
                << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QString::fromUtf8(f.shows))) << reply.body.toStdString();
        EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
        EXPECT_TRUE(outboxFiles().isEmpty());
    }
}

// The formal warnings of the tax codes (the fixture's VAT numbers fail their check digit)
// are listed apart, after the refusals, under their heading; alone they do not stop a file.
TEST_F(ServiceSendTest, WarningsAreListedApartFromRefusalsAndDoNotStopAFile)
{
    const int refusedId = writtenInvoice();
    editWrittenFile(refusedId, QStringLiteral("<Quantita>1.00</Quantita>"), QStringLiteral("<Quantita>1.50</Quantita>"));
    Reply reply = send(storedFileName(refusedId), refusedId);
    EXPECT_EQ(reply.status, 422) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("(1 problema)"))) << reply.body.toStdString();
    const qsizetype heading = reply.body.indexOf(QStringLiteral("<h2>Avvisi"));
    ASSERT_GT(heading, reply.body.indexOf(QStringLiteral("<li>00423 "))) << reply.body.toStdString();
    EXPECT_GT(reply.body.indexOf(QStringLiteral("<li>00423 ")), 0) << reply.body.toStdString();
    EXPECT_GT(reply.body.indexOf(QStringLiteral("<li>00301 ")), heading) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(refusedId), QStringLiteral("NULL"));
    EXPECT_TRUE(outboxFiles().isEmpty());

    const int id = writtenInvoice();
    reply = send(storedFileName(id), id);
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_GT(reply.body.indexOf(QStringLiteral("<li>00301 ")), reply.body.indexOf(QStringLiteral("<h2>Avvisi"))) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(outboxFiles(), QStringList{storedFileName(id)});
}

// The road of one invoice: "Invio a SDI" on the current invoice with no browser on the
// desktop, so the command requests the service's address itself and shows its answer; the
// service hands the file over and marks the invoice sent, and the shared invoice list reads
// the flag at its next periodic re-read, without any action of the user.
TEST_F(ServiceSendTest, InvioSdiSendsThroughTheServiceAndTheListReadsTheFlagAtItsNextReRead)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);

    // The application finds the service through the servizio.ini of its working folder.
    QTemporaryDir workingDir;
    {
        QFile ini(workingDir.filePath(QStringLiteral("servizio.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Text));
        ini.write(QStringLiteral("port=%1\nsecret=%2\n").arg(service->port()).arg(service->secret()).toUtf8());
    }
    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    QStringList opened;
    DesktopAddressOpener noBrowser([&](const QUrl &address) {
        opened << address.toString();
        return false;
    });
    AddressOpener *previousOpener = installAddressOpener(&noBrowser);
    RecordedMessages messages;
    select(id);
    InvioSdi(*diz, messages);
    installAddressOpener(previousOpener);
    QDir::setCurrent(previousDir);

    EXPECT_EQ(opened, QStringList{QStringLiteral("http://localhost:%1/Fatt_Ven/mail_sdi.php?nome_file=%2&n_invio=%3&chiave=%4")
                                      .arg(service->port()).arg(name).arg(id).arg(service->secret())});
    EXPECT_EQ(messages.questions, QStringList{QStringLiteral("Confermi invio a SDI ?")});
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed[0].contains(QStringLiteral("Fattura inviata"))) << messages.informed[0].toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(outboxFiles(), QStringList{name});

    DbTable &list = diz->Testata;
    ASSERT_EQ(list.asInteger(QStringLiteral("id_invio")), id);
    EXPECT_NE(list.text(QStringLiteral("inviata")), QStringLiteral("1"));  // not yet re-read
    list.setRefreshInterval(100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list.text(QStringLiteral("inviata")) == QLatin1String("1"); }, 5000));
    list.setRefreshInterval(10000);
    EXPECT_EQ(list.asInteger(QStringLiteral("id_invio")), id);
    EXPECT_EQ(list.state(), DbTable::State::Browse);
}

TEST_F(ServiceSendTest, UnknownAddressAnswersNotFound)
{
    const Reply reply = service->get(QStringLiteral("/Fatt_Ven/altro.php?nome_file=x.xml&n_invio=1"));
    EXPECT_EQ(reply.status, 404);
    EXPECT_TRUE(reply.body.contains(QStringLiteral("Indirizzo sconosciuto")));
}

} // namespace
