// Program start, the main menu's log-in ("Accedi" with ip.ini from the current folder)
// and closing the menu, on the whole set of windows against the test server.
#include "../ui/gui_test.h"
#include "ui/screens/registries/anag_az.h"
#include "ui/screens/registries/anag_cl.h"
#include "ui/screens/registries/anag_fo.h"
#include "app/app_shell.h"
#include "ui/screens/registries/articoli.h"
#include "data/diz.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "app/menu.h"
#include "test_db.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <optional>

namespace {

class MainMenu : public ::testing::Test {
protected:
    // ip.ini names at most 10 characters of database: the suite's database has such a name.
    static inline QString dbName;
    static inline DbConnection *admin = nullptr;

    static void SetUpTestSuite()
    {
        TestDb::useTestServer();
        admin = new DbConnection;
        admin->setHost(QStringLiteral("localhost"));
        admin->setPassword(QString::fromLatin1(TDiz::StoredPassword));
        admin->open();
        dbName = QStringLiteral("xm%1").arg(QRandomGenerator::global()->bounded(10000000, 99999999));
        admin->exec(QStringLiteral("CREATE DATABASE `%1` CHARACTER SET utf8mb4").arg(dbName));
        admin->setDatabase(dbName);
        TestDb::runScript(*admin, TestDb::schemaFile(QStringLiteral("xml_norva.sql")));
    }
    static void TearDownTestSuite()
    {
        admin->exec(QStringLiteral("DROP DATABASE IF EXISTS `%1`").arg(dbName));
        delete admin;
    }

    QTemporaryDir folder;
    QString previousFolder = QDir::currentPath();
    ExpectedBoxes boxes;
    std::unique_ptr<AppShell> shell;

    void SetUp() override
    {
        ASSERT_EQ(dbName.size(), 10);
        for (const char *table : {"clienti", "azienda"})
            admin->exec(QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)));
        QDir::setCurrent(folder.path());
        shell = std::make_unique<AppShell>();
        showActive(*Menu);
    }
    void TearDown() override
    {
        shell.reset();
        QDir::setCurrent(previousFolder);
    }

    static void writeIni(const QByteArray &bytes)
    {
        QFile f(QStringLiteral("ip.ini"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QByteArray goodIni(const QByteArray &title = "A") { return "localhost\r\n" + dbName.toUtf8() + "\r\n" + title + "\r\n"; }
    static void accedi() { QTest::mouseClick(Menu->BitBtn7, Qt::LeftButton); }
    // "1" for an enabled, "0" for a disabled button, B1 to B6.
    static QString buttons()
    {
        QString s;
        for (QPushButton *b : Menu->screenButtons())
            s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    static int openTables()
    {
        int n = 0;
        for (DbTable *t : Diz->tables())
            n += t->isOpen();
        return n;
    }
    static int count(const QString &sql) { return admin->select(sql).rows.at(0).raw(0).toInt(); }
};

TEST_F(MainMenu, WithoutIpIniAccediDoesNothingHoweverOftenPressed)
{
    EXPECT_EQ(buttons(), QStringLiteral("000000"));
    for (int i = 0; i < 3; ++i)
        accedi();
    EXPECT_EQ(buttons(), QStringLiteral("000000"));
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_FALSE(Diz->xml_conn.isConnected());
    EXPECT_EQ(Diz->xml_conn.database(), QStringLiteral("xml_norva"));
    EXPECT_EQ(Elenco_Fatt->windowTitle(), QString());
    EXPECT_EQ(openTables(), 0);
}

TEST_F(MainMenu, LongLinesAreCutTo15And10CharactersAndTheTitleIsTakenWhole)
{
    // 20 characters naming the local server in their first 15; 14 naming the database in their first 10.
    writeIni("127.000.000.001XXXXX\r\n" + dbName.toUtf8() + "WXYZ\r\n Titolo  B \r\nignored\r\n");
    accedi();
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.shownTexts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Diz->xml_conn.host(), QStringLiteral("127.000.000.001"));
    EXPECT_EQ(Diz->xml_conn.database(), dbName);
    EXPECT_EQ(Elenco_Fatt->windowTitle(), QStringLiteral(" Titolo  B "));
    EXPECT_TRUE(Diz->xml_conn.isConnected());
    EXPECT_EQ(openTables(), 10);
    EXPECT_EQ(buttons(), QStringLiteral("111111"));
}

TEST_F(MainMenu, ATwoLineFileConnectsAndSetsAnEmptyWorkspaceTitle)
{
    for (const QByteArray &ini : {"localhost\r\n" + dbName.toUtf8() + "\r\n", "localhost\r\n" + dbName.toUtf8()}) {
        Elenco_Fatt->setWindowTitle(QStringLiteral("vecchio"));
        writeIni(ini);
        accedi();
        EXPECT_EQ(Elenco_Fatt->windowTitle(), QString()) << ini.toStdString();
        EXPECT_EQ(Diz->xml_conn.database(), dbName);
        EXPECT_EQ(openTables(), 10);
        EXPECT_EQ(buttons(), QStringLiteral("111111"));
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(MainMenu, ARefusedConnectionShowsTheErrorAndLeavesTheButtonsDisabledAndTheTitleSet)
{
    writeIni("localhost\r\nxm_absent0\r\nTitolo R\r\n");
    boxes.expectError();
    accedi();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("Unknown database 'xm_absent0'")))
        << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(buttons(), QStringLiteral("000000"));
    EXPECT_EQ(Elenco_Fatt->windowTitle(), QStringLiteral("Titolo R"));
    EXPECT_EQ(Diz->xml_conn.database(), QStringLiteral("xm_absent0"));
    EXPECT_FALSE(Diz->xml_conn.isConnected());
    EXPECT_EQ(openTables(), 0);

    // Corrected, the next press logs in.
    writeIni(goodIni());
    accedi();
    EXPECT_EQ(buttons(), QStringLiteral("111111"));
    EXPECT_EQ(openTables(), 10);
}

TEST_F(MainMenu, AnIpIniThatCannotBeReadShowsTheSystemError)
{
    // Reading the process's own memory at offset 0 fails with an input/output error.
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), QStringLiteral("ip.ini")));
    boxes.expectError();
    accedi();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("I/O error"))) << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(buttons(), QStringLiteral("000000"));
    EXPECT_EQ(Diz->xml_conn.host(), QStringLiteral("localhost"));
}

TEST_F(MainMenu, PressingAccediAgainKeepsTheSameConnectionUnlessTheServerChanged)
{
    writeIni(goodIni());
    accedi();
    const unsigned long first = Diz->xml_conn.threadId();
    Diz->Clienti.append();
    Diz->Clienti.setText(QStringLiteral("rag_soc"), QStringLiteral("IN CORSO"));

    accedi();  // same server and database: the connection and the tables stay as they are
    EXPECT_EQ(Diz->xml_conn.threadId(), first);
    EXPECT_EQ(Diz->Clienti.state(), DbTable::State::Insert);
    EXPECT_EQ(Diz->Clienti.text(QStringLiteral("rag_soc")), QStringLiteral("IN CORSO"));

    writeIni("127.0.0.1\r\n" + dbName.toUtf8() + "\r\nA\r\n");
    accedi();  // another server: the connection drops (with the pending row) and connects anew
    EXPECT_NE(Diz->xml_conn.threadId(), first);
    EXPECT_EQ(Diz->Clienti.state(), DbTable::State::Browse);
    EXPECT_EQ(openTables(), 10);
    EXPECT_EQ(buttons(), QStringLiteral("111111"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(MainMenu, ClosingBeforeLogInEndsCleanly)
{
    EXPECT_TRUE(Menu->close());
    EXPECT_FALSE(Menu->isVisible());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(openTables(), 0);
}

TEST_F(MainMenu, ANewUnsavedRegistryRowIsDroppedAtClose)
{
    writeIni(goodIni());
    accedi();
    Diz->Clienti.append();
    Diz->Clienti.setText(QStringLiteral("rag_soc"), QStringLiteral("NUOVO"));
    EXPECT_TRUE(Menu->close());
    EXPECT_EQ(openTables(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(MainMenu, ACompanyChangeLeftPendingIsSeenByOtherReadersAndDroppedAtClose)
{
    admin->exec(QStringLiteral("INSERT INTO azienda (rag_soc, comune) VALUES ('ALFA', 'Roma')"));
    writeIni(goodIni());
    accedi();
    QTimer::singleShot(0, anag_az, [] {
        EXPECT_EQ(QApplication::activeModalWidget(), anag_az);
        QWidget *box = anag_az->box(QStringLiteral("comune"));
        QApplication::setActiveWindow(anag_az);
        box->setFocus();
        qobject_cast<QLineEdit *>(box)->selectAll();
        QTest::keyClicks(box, QStringLiteral("Bari"));
        anag_az->close();
    });
    QTest::mouseClick(Menu->B6, Qt::LeftButton);
    EXPECT_FALSE(anag_az->isVisible());
    // Closing the screen saved nothing; the shared row holds the change for every reader.
    EXPECT_EQ(Diz->AziendaT.state(), DbTable::State::Edit);
    EXPECT_EQ(Diz->AziendaT.text(QStringLiteral("comune")), QStringLiteral("Bari"));
    EXPECT_EQ(admin->select(QStringLiteral("SELECT comune FROM azienda")).rows.at(0).raw(0).toByteArray(), "Roma");

    EXPECT_TRUE(Menu->close());
    EXPECT_FALSE(Diz->AziendaT.isOpen());
    EXPECT_EQ(admin->select(QStringLiteral("SELECT comune FROM azienda")).rows.at(0).raw(0).toByteArray(), "Roma");
}

TEST_F(MainMenu, EachButtonOpensItsScreenModally)
{
    writeIni(goodIni());
    accedi();
    const std::pair<QPushButton *, QWidget *> screens[] = {{Menu->B1, Elenco_Fatt}, {Menu->B2, Anag_Cl},
                                                           {Menu->B3, Elenco_Carico}, {Menu->B4, Anag_Fo},
                                                           {Menu->B5, Articoli}, {Menu->B6, anag_az}};
    for (const auto &[button, screen] : screens) {
        QWidget *opened = nullptr;
        QTimer::singleShot(0, Menu, [&opened] {
            opened = QApplication::activeModalWidget();
            if (opened)
                opened->close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(opened, screen) << button->text().toStdString();
        EXPECT_FALSE(screen->isVisible());
    }
    EXPECT_TRUE(Menu->isVisible());
}

TEST_F(MainMenu, AFailedPeriodicReReadReachesTheGeneralErrorBox)
{
    boxes.expectError(QStringLiteral("Lost connection to server during query"));
    emit Diz->backgroundError(QStringLiteral("Lost connection to server during query"));
}

TEST_F(MainMenu, ConnectingShowsABusyCursorAndARefusalIsExplainedInItalianFirst)
{
    std::optional<Qt::CursorShape> whileConnecting;
    QObject context;
    QObject::connect(&Diz->xml_conn, &DbConnection::opened, &context, [&] {
        if (const QCursor *c = QGuiApplication::overrideCursor())
            whileConnecting = c->shape();
    });
    writeIni(goodIni());
    accedi();
    ASSERT_TRUE(whileConnecting.has_value());
    EXPECT_EQ(*whileConnecting, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(buttons(), QStringLiteral("111111"));

    writeIni("localhost\r\nxm_absent0\r\nA\r\n");
    boxes.expectError();
    accedi();
    ASSERT_EQ(boxes.shown().size(), 1);
    const QString text = boxes.shown()[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Connessione al server del database non riuscita.\n"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral("Unknown database 'xm_absent0'"))) << text.toStdString();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);  // also after a failure
}

} // namespace
