// Two desks on one server, each with its own data module and connection: the import runs
// on one desk at a time, and no document is brought over twice, whatever the other desks
// store meanwhile.
#include "import_fixture.h"

#include "import/import_run_lock.h"

#include <QThread>

namespace {

class ImportTwoDesks : public ImportTest {
protected:
    static inline std::unique_ptr<TDiz> deskB;
    RecordedMessages messagesB;

    static void SetUpTestSuite()
    {
        ImportTest::SetUpTestSuite();
        deskB = std::make_unique<TDiz>();
        installTestataHooks(*deskB);
        installManagementFields(*deskB);
        openDataModuleOn(*deskB);
    }
    static void TearDownTestSuite()
    {
        deskB.reset();
        ImportTest::TearDownTestSuite();
    }

    void SetUp() override
    {
        ImportTest::SetUp();
        for (DbTable *t : deskB->tables())
            t->refresh();
        deskB->AziendaT.first();
        for (int n = 1; n <= 4; ++n)
            addLine(addDocument({{"num_doc", n}}));
    }

    // Desk A imports; `meanwhile` runs once, when A has done `after` documents.
    void importOnA(int after, const std::function<void()> &meanwhile)
    {
        bool ran = false;
        ImportaFatture(*diz, messages, QStringLiteral("31/12/26"), QStringLiteral("A"), [&](int done, int) {
            if (done == after && !ran) {
                ran = true;
                meanwhile();
            }
            return true;
        });
        EXPECT_TRUE(ran);
    }

    void importOnB() { ImportaFatture(*deskB, messagesB, QStringLiteral("31/12/26"), QStringLiteral("A")); }

    static int headersNumbered(const QString &number)
    {
        return count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE num_doc = ?"), {number});
    }
};

TEST_F(ImportTwoDesks, ASecondDeskIsToldWhileTheFirstImportsAndNothingComesOverTwice)
{
    importOnA(1, [&] {
        importOnB();
        EXPECT_EQ(messagesB.informed, QStringList{QStringLiteral("Importazione già in corso su un'altra postazione")});
    });
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I", "4I"}));
    EXPECT_TRUE(messages.informed.isEmpty());

    // Once the first desk is done, the second may import (and finds nothing new).
    messagesB.informed.clear();
    importOnB();
    EXPECT_TRUE(messagesB.informed.isEmpty());
    EXPECT_EQ(headers().size(), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 4);
}

TEST_F(ImportTwoDesks, ADocumentStoredByAnotherWriterDuringTheRunIsNotImportedAgain)
{
    // The numbers are read at the start of the run; another writer (a desk typing the
    // invoice in, an older program) stores 3I while the run is under way.
    importOnA(1, [&] {
        insert(QStringLiteral("testata"), {{"num_doc", "3I"}, {"tipo_doc", "TD01"}, {"rag_soc", "A MANO"}});
    });
    EXPECT_EQ(headersNumbered(QStringLiteral("3I")), 1);
    EXPECT_EQ(header(QStringLiteral("3I"))["rag_soc"], QStringLiteral("A MANO"));
    EXPECT_EQ(headers().size(), 4);
}

TEST_F(ImportTwoDesks, TheFilesCarryTheCompanyDataStoredByAnotherDesk)
{
    // Desk A holds the company row as it was; desk B renames the company before A imports.
    deskB->AziendaT.edit();
    deskB->AziendaT.setText(QStringLiteral("rag_soc"), QStringLiteral("Norva Nuova S.r.l."));
    deskB->AziendaT.post();
    const QString heldByA = diz->AziendaT.text(QStringLiteral("rag_soc"));
    ASSERT_NE(heldByA, QStringLiteral("Norva Nuova S.r.l."));

    runImport();
    ASSERT_EQ(headers().size(), 4);
    for (const StoredRow &h : headers()) {
        QFile file(folder() + h["nome_file"]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << h["nome_file"].toStdString();
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains("<Denominazione>Norva Nuova S.r.l.</Denominazione>")) << h["nome_file"].toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("<Denominazione>%1</Denominazione>").arg(heldByA).toUtf8()));
    }
}

TEST_F(ImportTwoDesks, TheLockGoesWithTheConnectionOfADeskThatDies)
{
    DbConnection otherDesk;
    otherDesk.setSettings(diz->xml_conn.settings());
    otherDesk.open();
    auto held = std::make_unique<ImportRunLock>(otherDesk);
    ASSERT_TRUE(held->acquired());

    runImport();
    EXPECT_EQ(messages.informed, QStringList{ImportRunLock::busyMessage()});
    EXPECT_TRUE(headers().isEmpty());

    // The desk dies without releasing anything: the server frees the lock.
    xml->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(otherDesk.threadId()));
    // The server ends the killed connection's thread (and frees its lock) a moment later.
    const QString name = ImportRunLock::lockName(xml->name());
    for (int i = 0; i < 100 && stored(QStringLiteral("SELECT IS_FREE_LOCK(?)"), {name}) != u"1"; ++i)
        QThread::msleep(50);
    messages.informed.clear();
    runImport();
    EXPECT_TRUE(messages.informed.isEmpty());
    EXPECT_EQ(numbers(), (QStringList{"1I", "2I", "3I", "4I"}));
    held.reset();
}

} // namespace
