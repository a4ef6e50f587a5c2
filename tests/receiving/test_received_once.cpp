// A received invoice is loaded once, whatever the name of its file: the signed copy of an
// invoice loaded as plain XML (and the reverse), the same invoice under another name, and
// two loadings of it at the same moment store it once.
#include "receiving/fattura_reader.h"
#include "received_fixture.h"
#include "receiving/received_identity.h"
#include "receiving/received_invoice.h"

#include <QThread>
#include <latch>
#include <thread>

namespace {

const QString Plain = QStringLiteral("IT01234567890_FPR01.xml");
const QString Signed = QStringLiteral("IT01234567890_FPR01.xml.p7m");

class ReceivedOnce : public ReceivedFixture {
protected:
    void SetUp() override
    {
        ReceivedFixture::SetUp();
        // The demonstration pair: an invoice and its signed copy.
        put(Plain, readAll(demoFile(Plain)));
        put(Signed, readAll(demoFile(Signed)));
    }

    LoadOutcome load(const QString &name) { return loadReceivedInvoice(db->sql(), folder.path(), name); }

    static QStringList everything()
    {
        return dump(QStringLiteral("SELECT * FROM test_car ORDER BY prot")) + dump(QStringLiteral("SELECT * FROM dett_car ORDER BY prot_car, prog"));
    }
    void clear()
    {
        db->sql().exec(QStringLiteral("DELETE FROM test_car"));
        db->sql().exec(QStringLiteral("DELETE FROM dett_car"));
    }

    // Loads `names` at the same moment, each on a connection of its own.
    std::vector<LoadOutcome> loadAtOnce(const QStringList &names, const std::function<void()> &whileStarting = {})
    {
        std::vector<LoadOutcome> outcomes(size_t(names.size()));
        std::latch connected(names.size() + 1), go(1);
        std::vector<std::thread> threads;
        for (qsizetype i = 0; i < names.size(); ++i)
            threads.emplace_back([&, i] {
                DbConnection conn;
                conn.setSettings(db->sql().settings());
                conn.open();
                connected.count_down();
                go.wait();
                outcomes[size_t(i)] = loadReceivedInvoice(conn, folder.path(), names[i]);
            });
        connected.arrive_and_wait();
        go.count_down();
        if (whileStarting)
            whileStarting();
        for (std::thread &t : threads)
            t.join();
        return outcomes;
    }
};

QString refusal(const QString &firstFile)
{
    return QStringLiteral("Attenzione... Fattura gia Caricata: TD01 n. 123 del 18/12/2014 (P. IVA 01234567890) dal file ") + firstFile;
}

TEST_F(ReceivedOnce, APlainFileAndItsSignedCopyStoreTheInvoiceOnceInEitherOrder)
{
    for (const auto &[first, second] : {std::pair{Plain, Signed}, std::pair{Signed, Plain}}) {
        SCOPED_TRACE(first.toStdString());
        clear();
        const LoadOutcome loaded = load(first);
        ASSERT_TRUE(loaded.loaded) << loaded.message.toStdString();
        const QStringList rows = everything();
        EXPECT_EQ(count("test_car"), 1);

        const LoadOutcome again = load(second);
        EXPECT_FALSE(again.loaded);
        EXPECT_EQ(again.message, refusal(first));
        EXPECT_EQ(everything(), rows);
    }
}

// The invoice is known by supplier, type, number and date; any other of them makes
// another invoice.
TEST_F(ReceivedOnce, TheSameInvoiceUnderAnyNameIsRefusedAnotherOneOfTheSupplierLoads)
{
    const QByteArray plain = readAll(demoFile(Plain));
    ASSERT_TRUE(load(Plain).loaded);
    const struct {
        const char *name;
        QByteArray content;
        bool loads;
    } cases[] = {
        {"copia della fattura.xml", plain, false},
        {"it01234567890_fpr01.xml", plain, false},
        {"altra data.xml", QByteArray(plain).replace("<Data>2014-12-18</Data>", "<Data>2014-12-19</Data>"), true},
        {"altro numero.xml", QByteArray(plain).replace("<Numero>123</Numero>", "<Numero>124</Numero>"), true},
        {"nota di credito.xml", QByteArray(plain).replace("<TipoDocumento>TD01<", "<TipoDocumento>TD04<"), true},
        {"altro fornitore.xml", QByteArray(plain).replace("<IdCodice>01234567890</IdCodice>", "<IdCodice>01234567891</IdCodice>"), true},
    };
    int headers = 1;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const LoadOutcome out = load(put(QString::fromUtf8(c.name), c.content));
        EXPECT_EQ(out.loaded, c.loads) << out.message.toStdString();
        if (c.loads)
            ++headers;
        else
            EXPECT_EQ(out.message, refusal(Plain));
        EXPECT_EQ(count("test_car"), headers);
        EXPECT_EQ(count("dett_car"), headers);
    }
}

// A file with two invoices, one of which came before in a file of its own: nothing of it
// is stored.
TEST_F(ReceivedOnce, AFileHoldingAnInvoiceLoadedBeforeStoresNothing)
{
    const QByteArray two = readAll(demoFile(QStringLiteral("IT01234567890_FPR03.xml")));
    // Its first body alone, in a file of its own.
    const qsizetype secondBody = two.indexOf("<FatturaElettronicaBody>", two.indexOf("</FatturaElettronicaBody>"));
    ASSERT_GT(secondBody, 0);
    const qsizetype secondEnd = two.indexOf("</FatturaElettronicaBody>", secondBody) + qsizetype(strlen("</FatturaElettronicaBody>"));
    ASSERT_TRUE(load(put(QStringLiteral("prima.xml"), QByteArray(two).remove(secondBody, secondEnd - secondBody))).loaded);
    const QStringList rows = everything();

    const LoadOutcome out = load(put(QStringLiteral("entrambe.xml"), two));
    EXPECT_FALSE(out.loaded);
    EXPECT_TRUE(out.message.startsWith(QStringLiteral("Attenzione... Fattura gia Caricata: TD01 n. 123 del 18/12/2014")))
        << out.message.toStdString();
    EXPECT_TRUE(out.message.endsWith(QStringLiteral("dal file prima.xml"))) << out.message.toStdString();
    EXPECT_EQ(everything(), rows);
}

TEST_F(ReceivedOnce, TwoLoadingsAtOnceStoreTheInvoiceOnce)
{
    // Free-running: the two loadings meet wherever they happen to.
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        clear();
        const std::vector<LoadOutcome> out = loadAtOnce({Plain, Signed});
        EXPECT_EQ(count("test_car"), 1);
        EXPECT_EQ(count("dett_car"), 1);
        ASSERT_NE(out[0].loaded, out[1].loaded) << out[0].message.toStdString() << " / " << out[1].message.toStdString();
        const LoadOutcome &refused = out[0].loaded ? out[1] : out[0];
        EXPECT_EQ(refused.message, refusal(out[0].loaded ? Plain : Signed));
    }

    // Both loadings held at the invoice's lock until each has read its file and found the
    // invoice missing by name: still one is stored, the other refused.
    clear();
    const Received::ReadResult read = Received::readFattura(readAll(demoFile(Plain)));
    ASSERT_TRUE(read.document);
    const std::vector<ReceivedIdentity> identities = receivedIdentities(*read.document);
    ASSERT_EQ(identities.size(), 1u);
    const QString lockName = identities[0].lockName();
    ASSERT_EQ(db->sql().select(QStringLiteral("SELECT GET_LOCK(?, 0)"), {lockName}).rows[0].raw(0), QByteArrayView("1"));
    put(QStringLiteral("copia.xml"), readAll(demoFile(Plain)));
    const std::vector<LoadOutcome> held = loadAtOnce({Plain, Signed, QStringLiteral("copia.xml")}, [&] {
        // Wait until all three are queued at the lock, then let them go.
        for (int i = 0; i < 100; ++i) {
            const DbResult waiting = db->sql().select(
                QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE INFO LIKE 'SELECT GET_LOCK(%'"));
            if (waiting.rows[0].raw(0).toInt() >= 3)
                break;
            QThread::msleep(50);
        }
        EXPECT_EQ(count("test_car"), 0);
        db->sql().select(QStringLiteral("SELECT RELEASE_LOCK(?)"), {lockName});
    });
    int loaded = 0;
    for (const LoadOutcome &o : held) {
        if (o.loaded)
            ++loaded;
        else
            EXPECT_TRUE(o.message.startsWith(QStringLiteral("Attenzione... Fattura gia Caricata"))) << o.message.toStdString();
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(count("test_car"), 1);
    EXPECT_EQ(count("dett_car"), 1);
}

} // namespace
