// What the service hands over is what it checked, and every hand-over is accounted for:
// the file is read once with the invoice's row locked, a file waiting in the outbox is never
// replaced, one file name held by two invoices is refused, and a hand-over cut short by a
// crash is settled when the service starts again.
#include "service_process.h"
#include "written_invoice_test.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <future>

namespace {

using ServiceTest::Reply;
using ServiceTest::ServiceProcess;

class ServiceHandoverTest : public WrittenInvoiceTest {
protected:
    std::unique_ptr<QTemporaryDir> outboxParent;

    void SetUp() override
    {
        WrittenInvoiceTest::SetUp();
        outboxParent = std::make_unique<QTemporaryDir>();
    }

    QString outbox() const { return outboxParent->filePath(QStringLiteral("outbox")); }
    QStringList outboxFiles() const { return QDir(outbox()).entryList(QDir::Files | QDir::Hidden); }

    QMap<QString, QString> folderSettings() const
    {
        auto settings = ServiceTest::testDatabaseSettings(db->name());
        settings.insert(QStringLiteral("channel"), QStringLiteral("folder"));
        settings.insert(QStringLiteral("outbox"), outbox());
        return settings;
    }

    static Reply send(const ServiceProcess &service, const QString &name, int id)
    {
        return service.get(QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(name).arg(id));
    }

    // A connection of the test's own, beside the fixture's, to hold locks with.
    std::unique_ptr<DbConnection> secondConnection()
    {
        auto c = std::make_unique<DbConnection>();
        c->setSettings(db->sql().settings());
        c->open();
        return c;
    }

    // Waits until a statement of the service that starts with `statementStart` is running
    // (waiting for a lock) on the server.
    bool waitForServiceStatement(const QString &statementStart)
    {
        for (int i = 0; i < 500; ++i) {
            const DbResult r = db->sql().select(
                QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE DB = ? AND INFO LIKE ?"),
                {db->name(), statementStart + QLatin1Char('%')});
            if (r.rows.at(0).raw(0) != QByteArrayView("0"))
                return true;
            QThread::msleep(10);
        }
        return false;
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    static QStringList journalRecords(const ServiceProcess &service)
    {
        return QDir(QDir(service.folder()).filePath(QStringLiteral("out/consegne"))).entryList(QDir::Files);
    }
};

// While the send waits for the invoice's row (another desk holds it), the file is rewritten.
// The service reads it only once it holds the row: it checks and delivers the new bytes, or
// refuses them, never checks one text and delivers another.
TEST_F(ServiceHandoverTest, FileChangedWhileTheSendWaitsForTheLockIsTheFileCheckedAndDelivered)
{
    ServiceProcess service(folderSettings());
    ASSERT_TRUE(service.started());
    struct Change {
        const char *what;
        bool validAfter;
    };
    for (const Change change : {Change{"NOT XML", false}, Change{"a new description", true}}) {
        SCOPED_TRACE(change.what);
        clearTables({"testata", "dettaglio"});
        QDir(outbox()).removeRecursively();
        const int id = writtenInvoice();
        const QString name = storedFileName(id);
        const QByteArray written = XmlTest::readFile(writtenPath(id));
        const QByteArray changed = change.validAfter ? QByteArray(written).replace("<Descrizione>", "<Descrizione>Nuova ") : QByteArray(change.what);
        ASSERT_NE(changed, written);

        auto desk = secondConnection();
        desk->begin();
        desk->select(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ? FOR UPDATE"), {id});
        auto reply = std::async(std::launch::async, [&] { return send(service, name, id); });
        ASSERT_TRUE(waitForServiceStatement(QStringLiteral("SELECT nome_file, inviata FROM testata")));
        writeFile(writtenPath(id), changed);
        desk->commit();

        const Reply r = reply.get();
        if (change.validAfter) {
            EXPECT_EQ(r.status, 200) << r.body.toStdString();
            EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
            ASSERT_EQ(outboxFiles(), QStringList{name});
            EXPECT_EQ(XmlTest::readFile(QDir(outbox()).filePath(name)), changed);
        } else {
            EXPECT_EQ(r.status, 422) << r.body.toStdString();
            EXPECT_TRUE(r.body.contains(QStringLiteral("non supera i controlli"))) << r.body.toStdString();
            EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
            EXPECT_TRUE(outboxFiles().isEmpty()) << outboxFiles().join(u' ').toStdString();
        }
    }
}

// The service is killed after the file reached the outbox and before the invoice was marked
// (the marking is held up by a trigger). Started again, it finds the hand-over in its journal
// and the same bytes in the outbox, marks the invoice as sent, and a new request is refused
// as a second submission.
TEST_F(ServiceHandoverTest, KilledBetweenHandOverAndCommitTheRestartMarksTheInvoiceSent)
{
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    const QByteArray written = XmlTest::readFile(writtenPath(id));
    db->sql().exec(QStringLiteral("CREATE TRIGGER hold_marking BEFORE UPDATE ON testata FOR EACH ROW SET @held = SLEEP(3)"));

    ServiceProcess service(folderSettings());
    ASSERT_TRUE(service.started());
    auto reply = std::async(std::launch::async, [&] { return send(service, name, id); });
    // The file is in the outbox; the marking waits in the trigger for three seconds.
    ASSERT_TRUE(QTest::qWaitFor([&] { return outboxFiles() == QStringList{name}; }, 10000)) << outboxFiles().join(u' ').toStdString();
    EXPECT_EQ(journalRecords(service).size(), 1);
    service.killHard();
    EXPECT_EQ(reply.get().status, 0);  // no answer: the service died

    db->sql().exec(QStringLiteral("DROP TRIGGER hold_marking"));  // waits for the held statement
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));              // the killed transaction is gone

    service.restart();
    ASSERT_TRUE(service.started());
    EXPECT_TRUE(service.log().contains(QStringLiteral("la fattura è ora segnata come inviata"))) << service.log().toStdString();
    EXPECT_EQ(sentFlag(id), QStringLiteral("1"));
    EXPECT_TRUE(journalRecords(service).isEmpty());
    ASSERT_EQ(outboxFiles(), QStringList{name});
    EXPECT_EQ(XmlTest::readFile(QDir(outbox()).filePath(name)), written);

    const Reply again = send(service, name, id);
    EXPECT_EQ(again.status, 409) << again.body.toStdString();
    EXPECT_TRUE(again.body.contains(QStringLiteral("Fattura già inviata"))) << again.body.toStdString();
    EXPECT_EQ(outboxFiles(), QStringList{name});
}

// Records of the journal as a crash leaves them, settled at start: a file that reached the
// outbox marks its invoice as sent; one that did not leaves its invoice unsent and sendable.
TEST_F(ServiceHandoverTest, JournalRecordsLeftByACrashAreSettledByWhatTheOutboxHolds)
{
    const int delivered = writtenInvoice();
    const int notDelivered = writtenInvoice();
    ServiceProcess service(folderSettings());
    ASSERT_TRUE(service.started());
    service.killHard();

    const QString journal = QDir(service.folder()).filePath(QStringLiteral("out/consegne"));
    ASSERT_TRUE(QDir().mkpath(journal));
    ASSERT_TRUE(QDir().mkpath(outbox()));
    for (const int id : {delivered, notDelivered}) {
        const QByteArray bytes = XmlTest::readFile(writtenPath(id));
        writeFile(QDir(journal).filePath(QStringLiteral("%1.consegna").arg(id)),
                  "n_invio=" + QByteArray::number(id) + "\nnome_file=" + storedFileName(id).toUtf8() + "\nsha256="
                      + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + "\nstato=in corso\n");
    }
    QFile::copy(writtenPath(delivered), QDir(outbox()).filePath(storedFileName(delivered)));

    service.restart();
    ASSERT_TRUE(service.started());
    EXPECT_EQ(sentFlag(delivered), QStringLiteral("1"));
    EXPECT_EQ(sentFlag(notDelivered), QStringLiteral("NULL"));
    EXPECT_TRUE(journalRecords(service).isEmpty());
    EXPECT_TRUE(service.log().contains(QStringLiteral("il file non è uscito"))) << service.log().toStdString();

    const Reply reply = send(service, storedFileName(notDelivered), notDelivered);
    EXPECT_EQ(reply.status, 200) << reply.body.toStdString();
    EXPECT_EQ(sentFlag(notDelivered), QStringLiteral("1"));
}

// A file of the same name still waiting in the outbox (an earlier invoice whose progressive
// was the same) is never replaced: the send is refused and the waiting file stays as it was.
TEST_F(ServiceHandoverTest, AFileWaitingInTheOutboxIsNeverReplaced)
{
    ServiceProcess service(folderSettings());
    ASSERT_TRUE(service.started());
    const int id = writtenInvoice();
    const QString name = storedFileName(id);
    ASSERT_TRUE(QDir().mkpath(outbox()));
    writeFile(QDir(outbox()).filePath(name), "waiting file of another invoice");

    const Reply reply = send(service, name, id);
    EXPECT_EQ(reply.status, 502) << reply.body.toStdString();
    EXPECT_TRUE(reply.body.contains(QStringLiteral("in attesa di caricamento: non viene sostituito"))) << reply.body.toStdString();
    EXPECT_EQ(XmlTest::readFile(QDir(outbox()).filePath(name)), QByteArray("waiting file of another invoice"));
    EXPECT_EQ(outboxFiles(), QStringList{name});
    EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
    EXPECT_TRUE(journalRecords(service).isEmpty());
}

// Two invoices holding one file name: neither is sent while the other holds the name too.
TEST_F(ServiceHandoverTest, AFileNameHeldByTwoInvoicesIsRefused)
{
    ServiceProcess service(folderSettings());
    ASSERT_TRUE(service.started());
    const int first = writtenInvoice();
    const int second = writtenInvoice();
    const QString name = storedFileName(first);
    db->sql().exec(QStringLiteral("UPDATE testata SET nome_file = ? WHERE id_invio = ?"), {name, second});

    for (const auto &[id, other] : {std::pair{first, second}, std::pair{second, first}}) {
        const Reply reply = send(service, name, id);
        EXPECT_EQ(reply.status, 409) << reply.body.toStdString();
        EXPECT_TRUE(reply.body.contains(QStringLiteral("registrato anche per la fattura numero %1").arg(other))) << reply.body.toStdString();
        EXPECT_EQ(sentFlag(id), QStringLiteral("NULL"));
    }
    EXPECT_TRUE(outboxFiles().isEmpty());
}

} // namespace
