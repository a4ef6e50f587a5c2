// The exchange system's messages: each type read and checked against the messages schema,
// hostile files refused, answers stored against the invoice whose file they name, a
// rejection taking the invoice's sent flag back, and the same message stored once.
#include "data_module_fixture.h"
#include "receiving/sdi_answers.h"
#include "receiving/sdi_message.h"
#include "receiving/sdi_message_store.h"
#include "sdi_message_files.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using SdiTest::MessageFields;
using SdiTest::messageXml;

const QString InvoiceFile = QStringLiteral("IT01234567890_00042.xml");

TEST(SdiMessage, EveryTypeIsReadWithWhatItSays)
{
    struct Case {
        MessageFields fields;
        const char *dateTime;
        const char *outcome;
        const char *description;
        bool answer;
    };
    MessageFields ns{QStringLiteral("NS"), InvoiceFile};
    ns.errors = {{QStringLiteral("00404"), QStringLiteral("Fattura duplicata")}, {QStringLiteral("00423"), QStringLiteral("Prezzo totale errato")}};
    MessageFields refused{QStringLiteral("NE"), InvoiceFile};
    refused.outcome = QStringLiteral("EC02");
    MessageFields signedFile{QStringLiteral("RC"), InvoiceFile + QStringLiteral(".p7m")};
    signedFile.note = QStringLiteral("nota di prova");
    const Case cases[] = {
        {{QStringLiteral("RC"), InvoiceFile}, "2026-12-10T10:20:00.000+01:00", "", "Rossi Forniture", true},
        {ns, "2026-12-10T10:15:00.000+01:00", "", "", true},
        {{QStringLiteral("MC"), InvoiceFile}, "2026-12-10T10:15:00.000+01:00", "", "Casella del destinatario piena", true},
        {{QStringLiteral("NE"), InvoiceFile}, "", "EC01", "Esito del committente", true},
        {refused, "", "EC02", "Esito del committente", true},
        {{QStringLiteral("DT"), InvoiceFile}, "", "", "Decorsi i termini", true},
        {{QStringLiteral("AT"), InvoiceFile}, "2026-12-10T10:15:00.000+01:00", "", "Rossi Forniture", true},
        {{QStringLiteral("MT"), InvoiceFile}, "", "", "", false},
        {signedFile, "2026-12-10T10:20:00.000+01:00", "", "Rossi Forniture\nnota di prova", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fields.type.toStdString());
        const Sdi::MessageRead read = Sdi::readMessage(messageXml(c.fields));
        ASSERT_TRUE(read.message) << read.error.toStdString();
        const Sdi::Message &m = *read.message;
        EXPECT_EQ(m.type, c.fields.type);
        EXPECT_EQ(m.nomeFile, c.fields.nomeFile);
        EXPECT_EQ(Sdi::invoiceFileName(m.nomeFile), InvoiceFile);
        EXPECT_EQ(m.idSdi, QStringLiteral("111222333"));
        EXPECT_EQ(m.messageId, QStringLiteral("4455"));
        EXPECT_EQ(m.dateTime, QString::fromUtf8(c.dateTime));
        EXPECT_EQ(m.outcome, QString::fromUtf8(c.outcome));
        EXPECT_EQ(m.description, QString::fromUtf8(c.description));
        EXPECT_EQ(m.isAnswer(), c.answer);
        EXPECT_EQ(m.errors.size(), c.fields.errors.size());
    }
    const Sdi::Message rejected = *Sdi::readMessage(messageXml(ns)).message;
    ASSERT_EQ(rejected.errors.size(), 2);
    EXPECT_EQ(rejected.errors[1].code, QStringLiteral("00423"));
    EXPECT_EQ(rejected.errors[1].description, QStringLiteral("Prezzo totale errato"));
    // As stored and read back.
    const QList<Sdi::Error> back = Sdi::errorsFromText(Sdi::errorsText(rejected.errors));
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back[0].code, QStringLiteral("00404"));
    EXPECT_EQ(back[0].description, QStringLiteral("Fattura duplicata"));
}

TEST(SdiMessage, HostileOrForeignFilesAreRefusedWithTheirReason)
{
    const QByteArray good = messageXml({QStringLiteral("RC"), InvoiceFile});
    QByteArray entity = good;
    entity.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
                   "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n");
    entity.replace("<Note>", "<Note>&b;");
    QByteArray external = good;
    external.replace("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
                     "<?xml version=\"1.0\"?>\n<!DOCTYPE r SYSTEM \"file:///etc/passwd\">\n");
    QByteArray invalid = good;
    invalid.replace("<MessageId>4455</MessageId>", "<MessageId>123456789012345678</MessageId>");  // 14 characters at most
    QByteArray noSignature = good;
    noSignature.truncate(noSignature.indexOf("<ds:Signature"));
    noSignature += "</types:RicevutaConsegna>\n";
    QByteArray big = good;
    big.replace("</DataOraConsegna>", "</DataOraConsegna><!--" + QByteArray(Sdi::MaxMessageSize, 'x') + "-->");
    const QByteArray invoice = "<?xml version=\"1.0\"?><p:FatturaElettronica xmlns:p=\"http://ivaservizi.agenziaentrate.gov.it/docs/xsd/fatture/v1.2\" versione=\"FPR12\"/>";
    QByteArray otherNamespace = good;
    otherNamespace.replace("http://www.fatturapa.gov.it/sdi/messaggi/v1.0", "urn:altro");

    const std::pair<QByteArray, const char *> cases[] = {
        {entity, "DOCTYPE"},
        {external, "DOCTYPE"},
        {good.left(good.size() / 2), "non è un XML ben formato"},
        {QByteArray(), "non è un XML ben formato"},
        {invalid, "non conforme allo schema"},
        {noSignature, "non conforme allo schema"},
        {big, "troppo grande"},
        {invoice, "non è un messaggio SDI"},
        {otherNamespace, "non è un messaggio SDI"},
    };
    for (const auto &[bytes, why] : cases) {
        const Sdi::MessageRead read = Sdi::readMessage(bytes);
        EXPECT_FALSE(read.message) << why;
        EXPECT_TRUE(read.error.contains(QString::fromUtf8(why))) << why << ": " << read.error.toStdString();
    }
}

class SdiStore : public ScratchDatabaseTest {
protected:
    void SetUp() override { clearTables({"testata", "notifiche_sdi"}); }

    static int sentInvoice(const QString &file, int sent = 1)
    {
        return insert(QStringLiteral("testata"), {{"nome_file", file}, {"inviata", sent}, {"rag_soc", "Rossi"}});
    }
    static Sdi::Message message(const MessageFields &fields) { return *Sdi::readMessage(messageXml(fields)).message; }
    static StoreOutcome store(const MessageFields &fields) { return storeSdiMessage(xml->sql(), message(fields), SdiTest::messageFileName(fields)); }
};

TEST_F(SdiStore, EachAnswerIsStoredAgainstItsInvoiceOnceAndTheLatestOneCounts)
{
    const int id = sentInvoice(InvoiceFile);
    const int other = sentInvoice(QStringLiteral("IT01234567890_00043.xml"));

    MessageFields rc{QStringLiteral("RC"), InvoiceFile};
    StoreOutcome out = store(rc);
    EXPECT_EQ(out.result, StoreResult::Stored);
    EXPECT_EQ(out.idInvio, id);
    EXPECT_FALSE(out.reopened);
    // The same message again: stored once.
    out = store(rc);
    EXPECT_EQ(out.result, StoreResult::AlreadyStored);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 1);

    // An outcome of the public administration for the signed file: matched to the same invoice.
    MessageFields ne{QStringLiteral("NE"), InvoiceFile + QStringLiteral(".p7m")};
    ne.messageId = QStringLiteral("4456");
    ne.outcome = QStringLiteral("EC02");
    EXPECT_EQ(store(ne).idInvio, id);

    // A file no invoice has: not stored.
    MessageFields unknown{QStringLiteral("RC"), QStringLiteral("IT01234567890_09999.xml")};
    unknown.idSdi = QStringLiteral("111222999");
    out = store(unknown);
    EXPECT_EQ(out.result, StoreResult::UnknownInvoice);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 2);

    const QList<Sdi::StoredAnswer> answers = Sdi::answersOf(xml->sql(), id);
    ASSERT_EQ(answers.size(), 2);
    EXPECT_EQ(answers[0].type, QStringLiteral("RC"));
    EXPECT_EQ(answers[0].dateTime, QStringLiteral("2026-12-10T10:20:00.000+01:00"));
    EXPECT_EQ(answers[0].messageFile, QStringLiteral("IT01234567890_00042_RC_001.xml"));
    EXPECT_EQ(answers[1].outcome, QStringLiteral("EC02"));
    EXPECT_FALSE(answers[1].dateTime.isEmpty());  // the time it was read

    const auto latest = Sdi::latestAnswers(xml->sql());
    ASSERT_TRUE(latest.contains(id));
    EXPECT_FALSE(latest.contains(other));
    EXPECT_EQ(Sdi::outcomeFor(latest[id], InvoiceFile), Sdi::Outcome::Refused);
    EXPECT_EQ(Sdi::outcomeFor(latest[id], QStringLiteral("IT01234567890_A0042.xml")), Sdi::Outcome::None);
    EXPECT_EQ(stored(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ?"), {id}), QStringLiteral("1"));
}

TEST_F(SdiStore, ARejectionOfTheCurrentFileTakesTheSentFlagBackAndALateCopyOfItDoesNot)
{
    const int id = sentInvoice(InvoiceFile);
    MessageFields ns{QStringLiteral("NS"), InvoiceFile};
    ns.errors = {{QStringLiteral("00404"), QStringLiteral("Fattura duplicata")}, {QStringLiteral("00423"), QStringLiteral("Prezzo totale errato")}};
    const StoreOutcome out = store(ns);
    EXPECT_EQ(out.result, StoreResult::Stored);
    EXPECT_TRUE(out.reopened);
    EXPECT_EQ(stored(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ?"), {id}), QStringLiteral("0"));
    EXPECT_TRUE(Sdi::wasRejected(xml->sql(), InvoiceFile));
    EXPECT_FALSE(Sdi::wasRejected(xml->sql(), QStringLiteral("IT01234567890_A0042.xml")));
    EXPECT_EQ(stored(QStringLiteral("SELECT errori FROM notifiche_sdi")), QStringLiteral("00404 Fattura duplicata\n00423 Prezzo totale errato"));

    // Corrected and sent again under a new name, the invoice is sent; another copy of the old
    // rejection (another message id) is matched through the stored history and leaves it sent.
    xml->sql().exec(QStringLiteral("UPDATE testata SET nome_file = 'IT01234567890_A0042.xml', inviata = 1 WHERE id_invio = ?"), {id});
    ns.messageId = QStringLiteral("9999");
    const StoreOutcome late = store(ns);
    EXPECT_EQ(late.result, StoreResult::Stored);
    EXPECT_EQ(late.idInvio, id);
    EXPECT_FALSE(late.reopened);
    EXPECT_EQ(stored(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = ?"), {id}), QStringLiteral("1"));
    EXPECT_EQ(Sdi::outcomeFor(Sdi::latestAnswers(xml->sql())[id], QStringLiteral("IT01234567890_A0042.xml")), Sdi::Outcome::None);
}

TEST_F(SdiStore, ADatabaseWithoutTheTableHasNoAnswersAndTheUpgradeAddsItKeepingEverythingElse)
{
    const int id = sentInvoice(InvoiceFile);
    xml->sql().exec(QStringLiteral("DROP TABLE notifiche_sdi"));
    EXPECT_TRUE(Sdi::answersOf(xml->sql(), id).isEmpty());
    EXPECT_TRUE(Sdi::latestAnswers(xml->sql()).isEmpty());
    EXPECT_FALSE(Sdi::wasRejected(xml->sql(), InvoiceFile));

    xml->load(QStringLiteral("notifiche_sdi.sql"));
    xml->load(QStringLiteral("notifiche_sdi.sql"));  // a second time changes nothing
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(store({QStringLiteral("RC"), InvoiceFile}).result, StoreResult::Stored);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM notifiche_sdi")), 1);

    // The upgrade's table is the one a new database gets.
    ScratchDatabase fresh;
    auto definition = [](DbConnection &conn) {
        QString text = QString::fromUtf8(conn.select(QStringLiteral("SHOW CREATE TABLE notifiche_sdi")).rows.at(0).raw(1).toByteArray());
        return text.remove(QRegularExpression(QStringLiteral(" AUTO_INCREMENT=\\d+")));
    };
    EXPECT_EQ(definition(xml->sql()), definition(fresh.sql()));
}

} // namespace
