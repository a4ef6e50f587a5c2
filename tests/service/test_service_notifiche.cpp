// The exchange system's answers read by the real service: from its notifications folder
// and from a PEC mailbox (a small IMAP server of the test on the loopback interface),
// stored per invoice, files moved to "elaborati" or set aside in "scartati" with the
// reason; a received invoice saved from the mailbox and loaded by "Carica Fattura"; a
// mailbox that cannot be reached; and the road of a rejected invoice sent again.
#include "../ui/gui_test.h"
#include "transmission/address_opener.h"
#include "fatturapa/crea_file_xml.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "ui/screens/elenco_fatt/esito_sdi_panel.h"
#include "ui/kit/file_browser_lists.h"
#include "imap_server.h"
#include "pec_mail.h"
#include "receiving/sdi_answers.h"
#include "sdi_message_files.h"
#include "service_process.h"
#include "written_invoice_test.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

using SdiTest::MessageFields;
using ServiceTest::ImapServer;
using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

const QByteArray PecUser = "fatture@pec.alfabeta.it";
const QByteArray PecPassword = "se,gre;to-imap";

class ServiceAnswersTest : public WrittenInvoiceTest {
protected:
    QTemporaryDir work;

    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        clearTables({"notifiche_sdi", "test_car", "dett_car"});
        ASSERT_TRUE(work.isValid());
    }

    QString notifiche() const { return work.filePath(QStringLiteral("notifiche")); }
    QString done() const { return work.filePath(QStringLiteral("notifiche/elaborati")); }
    QString aside() const { return work.filePath(QStringLiteral("notifiche/scartati")); }
    QString received() const { return work.filePath(QStringLiteral("ricevute")); }
    QString outbox() const { return work.filePath(QStringLiteral("outbox")); }

    QMap<QString, QString> settings() const
    {
        auto s = ServiceTest::testDatabaseSettings(db->name());
        s.insert(QStringLiteral("notifiche"), notifiche());
        s.insert(QStringLiteral("notifiche_intervallo"), QStringLiteral("0"));  // read on request only
        s.insert(QStringLiteral("received"), received());
        s.insert(QStringLiteral("outbox"), outbox());
        return s;
    }
    QMap<QString, QString> pecSettings(int imapPort) const
    {
        auto s = settings();
        s.insert(QStringLiteral("channel"), QStringLiteral("pec"));
        s.insert(QStringLiteral("pec_server"), QStringLiteral("127.0.0.1"));
        s.insert(QStringLiteral("pec_from"), QString::fromUtf8(PecUser));
        s.insert(QStringLiteral("pec_user"), QString::fromUtf8(PecUser));
        s.insert(QStringLiteral("pec_password"), QString::fromUtf8(PecPassword));
        s.insert(QStringLiteral("pec_security"), QStringLiteral("none"));
        s.insert(QStringLiteral("pec_imap_port"), QString::number(imapPort));
        s.insert(QStringLiteral("pec_imap_security"), QStringLiteral("none"));
        return s;
    }

    // A sent invoice carrying `file`.
    int sentInvoice(const QString &file) { return addInvoice({{"nome_file", file}, {"inviata", 1}}); }

    static void put(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QStringList files(const QString &dir) { return QDir(dir).entryList(QDir::Files, QDir::Name); }
    QString answerTypes(int id)
    {
        QStringList types;
        for (const Sdi::StoredAnswer &a : Sdi::answersOf(db->sql(), id))
            types << a.type;
        return types.join(QLatin1Char(','));
    }
    // Each invoice's answer as the workspace's "Esito SDI" shows it: "RC - Ricevuta di consegna" and the like.
    QStringList shownInWorkspace(const QList<int> &ids)
    {
        QStringList shown;
        TElenco_Fatt window(*diz);
        window.setWindowTitle(QStringLiteral("A"));
        diz->Testata.refresh();
        showActive(window);
        for (const int id : ids) {
            EXPECT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
            QTest::mouseClick(window.esitoSdiButton, Qt::LeftButton);
            const QTableWidget *table = window.esitoSdiPanel->answersTable;
            shown << (table->rowCount() == 1 ? table->item(0, 1)->text() : QStringLiteral("%1 risposte").arg(table->rowCount()));
        }
        return shown;
    }
    static QStringList captions()
    {
        return {QStringLiteral("RC - Ricevuta di consegna"), QStringLiteral("NS - Notifica di scarto"), QStringLiteral("MC - Mancata consegna"),
                QStringLiteral("NE - Esito committente"), QStringLiteral("DT - Decorrenza termini"),
                QStringLiteral("AT - Attestazione di trasmissione")};
    }
    static MessageFields fields(const QString &type, const QString &file, const QString &idSdi)
    {
        MessageFields m{type, file};
        m.idSdi = idSdi;
        if (type == QLatin1String("NS"))
            m.errors = {{QStringLiteral("00404"), QStringLiteral("Fattura duplicata")},
                        {QStringLiteral("00423"), QStringLiteral("Prezzo totale non calcolato correttamente")}};
        if (type == QLatin1String("NE"))
            m.outcome = QStringLiteral("EC02");
        return m;
    }
};

const QStringList Types{QStringLiteral("RC"), QStringLiteral("NS"), QStringLiteral("MC"),
                        QStringLiteral("NE"), QStringLiteral("DT"), QStringLiteral("AT")};

TEST_F(ServiceAnswersTest, MessagesOfEveryTypeInTheFolderAreStoredOnceAndUnreadableOrUnknownOnesSetAsideWithTheReason)
{
    ServiceProcess service(settings());
    ASSERT_TRUE(service.started());
    QList<int> ids;
    for (int i = 0; i < Types.size(); ++i) {
        const QString file = QStringLiteral("IT01234567890_0010%1.xml").arg(i);
        ids << sentInvoice(file);
        const MessageFields m = fields(Types[i], file, QString::number(9000 + i));
        put(QDir(notifiche()).filePath(SdiTest::messageFileName(m)), SdiTest::messageXml(m));
    }
    // The delivery receipt a second time, under another name: stored once.
    const MessageFields rc = fields(QStringLiteral("RC"), QStringLiteral("IT01234567890_00100.xml"), QStringLiteral("9000"));
    put(QDir(notifiche()).filePath(QStringLiteral("copia_RC.xml")), SdiTest::messageXml(rc));
    put(QDir(notifiche()).filePath(QStringLiteral("rotto_NS_001.xml")), "<types:NotificaScarto xmlns:types=");
    const MessageFields stranger = fields(QStringLiteral("RC"), QStringLiteral("IT09999999999_00001.xml"), QStringLiteral("8000"));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(stranger)), SdiTest::messageXml(stranger));
    put(QDir(notifiche()).filePath(QStringLiteral("appunti.txt")), "non un messaggio");  // not a message file: left alone

    // Without the installation's key the service reads nothing.
    const Reply keyless = service.request("GET", QStringLiteral("/Fatt_Ven/notifiche.php"), {}, false);
    EXPECT_NE(keyless.status, 200) << keyless.body.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 0);
    EXPECT_TRUE(files(done()).isEmpty());

    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("6 messaggi registrati, 1 già registrati, 2 messi da parte, 0 in attesa")))
        << reply.body.toStdString();

    for (int i = 0; i < Types.size(); ++i)
        EXPECT_EQ(answerTypes(ids[i]), Types[i]) << Types[i].toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 6);
    EXPECT_EQ(shownInWorkspace(ids), captions());
    // The rejection took its invoice's sent flag back; the others stay sent.
    for (int i = 0; i < Types.size(); ++i)
        EXPECT_EQ(sentFlag(ids[i]), Types[i] == QLatin1String("NS") ? QStringLiteral("0") : QStringLiteral("1")) << Types[i].toStdString();
    const QList<Sdi::StoredAnswer> rejection = Sdi::answersOf(db->sql(), ids[1]);
    ASSERT_EQ(rejection.size(), 1);
    ASSERT_EQ(rejection[0].errors.size(), 2);
    EXPECT_EQ(rejection[0].errors[1].code, QStringLiteral("00423"));

    // Nothing is lost: every message file is in elaborati or scartati, the other file stays.
    EXPECT_EQ(files(notifiche()), QStringList{QStringLiteral("appunti.txt")});
    EXPECT_EQ(files(done()).size(), 7);
    EXPECT_TRUE(files(done()).contains(QStringLiteral("copia_RC.xml")));
    EXPECT_EQ(files(aside()), (QStringList{QStringLiteral("IT09999999999_00001_RC_001.xml"), QStringLiteral("IT09999999999_00001_RC_001.xml.motivo.txt"),
                                           QStringLiteral("rotto_NS_001.xml"), QStringLiteral("rotto_NS_001.xml.motivo.txt")}));
    EXPECT_TRUE(XmlTest::readFile(QDir(aside()).filePath(QStringLiteral("IT09999999999_00001_RC_001.xml.motivo.txt")))
                    .contains("nessuna fattura ha il file IT09999999999_00001.xml"));
    EXPECT_TRUE(XmlTest::readFile(QDir(aside()).filePath(QStringLiteral("rotto_NS_001.xml.motivo.txt"))).contains("non è un XML ben formato"));
    const QString log = service.log();
    EXPECT_TRUE(log.contains(QStringLiteral("messaggio rotto_NS_001.xml messo da parte"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("nessuna fattura ha il file IT09999999999_00001.xml"))) << log.toStdString();

    // Read again: nothing is read twice, and the same file dropped again is stored once.
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(rc)), SdiTest::messageXml(rc));
    const Reply again = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_TRUE(again.body.contains(QStringLiteral("0 messaggi registrati, 1 già registrati, 0 messi da parte"))) << again.body.toStdString();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 6);
    EXPECT_TRUE(files(done()).contains(QStringLiteral("IT01234567890_00100_RC_001_2.xml"))) << files(done()).join(' ').toStdString();
}

TEST_F(ServiceAnswersTest, TheFolderIsReadAtTheIntervalAndOversizedOrForeignFilesAreSetAside)
{
    auto periodic = settings();
    periodic.insert(QStringLiteral("notifiche_intervallo"), QStringLiteral("1"));
    ServiceProcess service(periodic);
    ASSERT_TRUE(service.started());
    const int id = sentInvoice(QStringLiteral("IT01234567890_00400.xml"));
    const MessageFields rc = fields(QStringLiteral("RC"), QStringLiteral("IT01234567890_00400.xml"), QStringLiteral("3000"));
    put(QDir(notifiche()).filePath(QStringLiteral("grande_RC_001.xml")), QByteArray(2 * 1024 * 1024, ' ') + SdiTest::messageXml(rc));
    const MessageFields metadata = fields(QStringLiteral("MT"), QStringLiteral("IT01234567890_00400.xml"), QStringLiteral("3001"));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(metadata)), SdiTest::messageXml(metadata));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(rc)), SdiTest::messageXml(rc));

    // No request: the reading of every second finds them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return answerTypes(id) == QLatin1String("RC") && files(notifiche()).isEmpty(); }, 10000))
        << service.log().toStdString();
    EXPECT_TRUE(XmlTest::readFile(QDir(aside()).filePath(QStringLiteral("grande_RC_001.xml.motivo.txt"))).contains("troppo grande"));
    EXPECT_TRUE(XmlTest::readFile(QDir(aside()).filePath(SdiTest::messageFileName(metadata) + QStringLiteral(".motivo.txt")))
                    .contains("metadati di una fattura ricevuta"));
    EXPECT_EQ(files(done()), QStringList{SdiTest::messageFileName(rc)});
}

TEST_F(ServiceAnswersTest, TheMailboxIsReadOverImapMessagesStoredAndTheReceivedInvoiceSavedThenLoadedByCaricaFattura)
{
    ImapServer imap(PecUser, PecPassword);
    ASSERT_NE(imap.port(), 0);
    QList<int> ids;
    QList<qulonglong> uids;
    for (int i = 0; i < Types.size(); ++i) {
        const QString file = QStringLiteral("IT01234567890_0020%1.xml").arg(i);
        ids << sentInvoice(file);
        const MessageFields m = fields(Types[i], file, QString::number(7000 + i));
        uids << imap.add(ServiceTest::pecMail(QStringLiteral("%1 %2").arg(Types[i], file), {{SdiTest::messageFileName(m), SdiTest::messageXml(m)}}));
    }
    // A received invoice with its metadata, and a mail the user has read already (left alone).
    const QByteArray invoice = XmlTest::readFile(XmlTest::dataFile(QStringLiteral("IT01234567890_FPR01.xml")));
    ASSERT_FALSE(invoice.isEmpty());
    const MessageFields metadata = fields(QStringLiteral("MT"), QStringLiteral("IT01234567890_FPR01.xml"), QStringLiteral("6000"));
    const qulonglong invoiceMail = imap.add(ServiceTest::pecMail(QStringLiteral("Invio File 6000"),
                                                                 {{QStringLiteral("IT01234567890_FPR01.xml"), invoice},
                                                                  {SdiTest::messageFileName(metadata), SdiTest::messageXml(metadata)}}));
    const qulonglong readBefore = imap.add(ServiceTest::pecMail(QStringLiteral("vecchia"), {}), true);
    // The provider's receipt of a mail the business sent: nothing for the program, left unread.
    const qulonglong receipt = imap.add(ServiceTest::pecMail(QStringLiteral("CONSEGNA: Invio fattura"), {{QStringLiteral("daticert.xml"), "<postacert/>"}}));

    // Every mail is marked read only once what it carried is on disk.
    QStringList missingAtMarking;
    imap.onMarkRead([&](qulonglong uid) {
        if (uid == invoiceMail && !QFileInfo::exists(QDir(received()).filePath(QStringLiteral("IT01234567890_FPR01.xml"))))
            missingAtMarking << QStringLiteral("fattura");
        if (uid != invoiceMail && files(notifiche()).isEmpty() && files(done()).isEmpty())
            missingAtMarking << QString::number(uid);
    });

    ServiceProcess service(pecSettings(imap.port()));
    ASSERT_TRUE(service.started());
    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString() << service.log().toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("7 messaggi letti"))) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("6 messaggi registrati"))) << reply.body.toStdString();
    EXPECT_TRUE(missingAtMarking.isEmpty()) << missingAtMarking.join(' ').toStdString();

    for (int i = 0; i < Types.size(); ++i) {
        EXPECT_EQ(answerTypes(ids[i]), Types[i]) << Types[i].toStdString();
        EXPECT_TRUE(imap.seen(uids[i]));
    }
    EXPECT_EQ(shownInWorkspace(ids), captions());
    EXPECT_TRUE(imap.seen(invoiceMail));
    EXPECT_TRUE(imap.seen(readBefore));
    EXPECT_FALSE(imap.seen(receipt));
    EXPECT_TRUE(reply.body.contains(QStringLiteral("1 senza messaggi SDI né fatture lasciati da leggere"))) << reply.body.toStdString();
    EXPECT_EQ(imap.mails().size(), 9);  // nothing deleted
    EXPECT_EQ(files(received()), QStringList{QStringLiteral("IT01234567890_FPR01.xml")});
    EXPECT_EQ(XmlTest::readFile(QDir(received()).filePath(QStringLiteral("IT01234567890_FPR01.xml"))), invoice);
    EXPECT_EQ(files(QDir(received()).filePath(QStringLiteral("metadati"))), QStringList{SdiTest::messageFileName(metadata)});
    EXPECT_EQ(files(done()).size(), 6);

    // Each mail was fetched from the mailbox open read-only.
    const QList<QByteArray> commands = imap.commands();
    for (qsizetype i = 0; i < commands.size(); ++i)
        if (commands[i].contains("UID FETCH")) {
            EXPECT_TRUE(i > 0 && commands[i - 1].contains("EXAMINE")) << commands[i].toStdString();
        }
    // The log-in reached the server but never the log.
    EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [](const QByteArray &c) { return c.contains("LOGIN"); }));
    EXPECT_FALSE(service.log().contains(QString::fromUtf8(PecPassword))) << service.log().toStdString();

    // A second reading finds nothing new.
    const Reply again = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_TRUE(again.body.contains(QStringLiteral("0 messaggi letti"))) << again.body.toStdString();
    // ... and does not fetch the receipt again.
    const QByteArray fetchReceipt = "UID FETCH " + QByteArray::number(receipt) + " ";
    const QList<QByteArray> afterwards = imap.commands();
    EXPECT_EQ(std::count_if(afterwards.begin(), afterwards.end(), [&](const QByteArray &c) { return c.contains(fetchReceipt); }), 1);
    EXPECT_FALSE(imap.seen(receipt));

    // "Carica Fattura" in the purchase list loads the saved invoice through the same service.
    struct Requesting : AddressOpener {
        QStringList answers;
        void open(const QString &address, Messages &) override { answers << requestServiceAnswer(address); }
    } requesting;
    AddressOpener *previous = installAddressOpener(&requesting);
    {
        TElenco_Carico window(*diz);
        ServiceSettings windowSettings;
        windowSettings.port = service.port();
        windowSettings.received = received();
        windowSettings.secret = service.secret();
        window.setServiceSettings(windowSettings);
        showActive(window);
        QTest::mouseClick(window.BitBtn2, Qt::LeftButton);
        const auto found = window.FileListBox1->findItems(QStringLiteral("IT01234567890_FPR01.xml"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        QTest::mouseClick(window.FileListBox1->viewport(), Qt::LeftButton, {}, window.FileListBox1->visualItemRect(found.first()).center());
        QTest::mouseClick(window.BitBtn3, Qt::LeftButton);
    }
    installAddressOpener(previous);
    ASSERT_EQ(requesting.answers.size(), 1);
    EXPECT_TRUE(requesting.answers[0].contains(QStringLiteral("Fattura caricata"))) << requesting.answers[0].toStdString();
    EXPECT_EQ(stored(QStringLiteral("SELECT nome_file FROM test_car")), QStringLiteral("IT01234567890_FPR01.xml"));
}

TEST_F(ServiceAnswersTest, AMailWhoseInvoiceCannotBeSavedStaysUnread)
{
    ImapServer imap(PecUser, PecPassword);
    const QByteArray invoice = XmlTest::readFile(XmlTest::dataFile(QStringLiteral("IT01234567890_FPR01.xml")));
    const qulonglong uid = imap.add(ServiceTest::pecMail(QStringLiteral("Invio File"), {{QStringLiteral("IT01234567890_FPR01.xml"), invoice}}));
    put(received(), "un file dove dovrebbe esserci la cartella");  // the received folder cannot be made
    ServiceProcess service(pecSettings(imap.port()));
    ASSERT_TRUE(service.started());
    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_TRUE(reply.body.contains(QStringLiteral("1 lasciati da leggere"))) << reply.body.toStdString();
    EXPECT_FALSE(imap.seen(uid));
    EXPECT_TRUE(service.log().contains(QStringLiteral("lasciato da leggere"))) << service.log().toStdString();
}

TEST_F(ServiceAnswersTest, AnUnreachableMailboxGivesAClearLineAndAnswerAndTheFolderIsStillRead)
{
    int closedPort = 0;
    {
        ImapServer gone(PecUser, PecPassword);  // a port that was free a moment ago and is closed now
        closedPort = gone.port();
    }
    const int id = sentInvoice(QStringLiteral("IT01234567890_00300.xml"));
    const MessageFields rc = fields(QStringLiteral("RC"), QStringLiteral("IT01234567890_00300.xml"), QStringLiteral("5000"));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(rc)), SdiTest::messageXml(rc));

    ServiceProcess service(pecSettings(closedPort));
    ASSERT_TRUE(service.started());
    const Reply reply = service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_EQ(reply.status, 502) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("Casella PEC non raggiungibile"))) << reply.body.toStdString();
    const QString line = QStringLiteral("casella PEC imap://127.0.0.1:%1/INBOX non raggiungibile").arg(closedPort);
    EXPECT_TRUE(reply.body.contains(line)) << reply.body.toStdString();
    EXPECT_TRUE(service.log().contains(line)) << service.log().toStdString();
    EXPECT_FALSE(service.log().contains(QString::fromUtf8(PecPassword)));
    // The folder's messages are read all the same.
    EXPECT_EQ(answerTypes(id), QStringLiteral("RC"));
}

// The road of a rejection: the invoice written and sent; the exchange system's rejection
// with two errors read from the folder takes its sent flag back; the same file is refused
// by the service; written again, the invoice gets a new name (progressive A....) that goes out.
TEST_F(ServiceAnswersTest, ARejectedInvoiceIsWrittenAgainUnderANewNameAndSentAgain)
{
    ServiceProcess service(settings());
    ASSERT_TRUE(service.started());
    const int id = writtenInvoice();
    const QString first = storedFileName(id);
    const QString progressive = first.mid(14, 5);
    ASSERT_TRUE(progressive.startsWith(QLatin1Char('0'))) << first.toStdString();
    auto send = [&](const QString &name) { return service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id)); };
    ASSERT_EQ(send(first).status, 200);
    ASSERT_EQ(sentFlag(id), QStringLiteral("1"));

    const MessageFields ns = fields(QStringLiteral("NS"), first, QStringLiteral("4000"));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(ns)), SdiTest::messageXml(ns));
    EXPECT_EQ(service.get(QStringLiteral("/Fatt_Ven/notifiche.php")).status, 200);
    EXPECT_EQ(sentFlag(id), QStringLiteral("0"));

    // The rejected name would be refused by the exchange system as a duplicate: the service refuses it.
    const Reply sameName = send(first);
    EXPECT_EQ(sameName.status, 409) << sameName.body.toStdString();
    EXPECT_TRUE(sameName.body.contains(QStringLiteral("scartato da SDI"))) << sameName.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("0"));

    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));
    const QString second = storedFileName(id);
    EXPECT_EQ(second, first.left(14) + QLatin1Char('A') + progressive.mid(1) + QStringLiteral(".xml"));
    EXPECT_TRUE(XmlTest::readFile(writtenPath(id)).contains("<ProgressivoInvio>A" + progressive.mid(1).toUtf8() + "</ProgressivoInvio>"));
    const Reply resent = send(second);
    EXPECT_EQ(resent.status, 200) << resent.body.toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_EQ(files(outbox()), (QStringList{first, second}));

    // Written once more (before any answer), the name stays; rejected again, it moves on to B.
    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));
    EXPECT_EQ(storedFileName(id), second);
    MessageFields again = fields(QStringLiteral("NS"), second, QStringLiteral("4001"));
    put(QDir(notifiche()).filePath(SdiTest::messageFileName(again)), SdiTest::messageXml(again));
    service.get(QStringLiteral("/Fatt_Ven/notifiche.php"));
    EXPECT_EQ(sentFlag(id), QStringLiteral("0"));
    select(id);
    CreaFileXml(*diz, QStringLiteral("A"));
    EXPECT_EQ(storedFileName(id), first.left(14) + QLatin1Char('B') + progressive.mid(1) + QStringLiteral(".xml"));
}

} // namespace
