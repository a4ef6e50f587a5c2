// The three hand-over commands on the shared Testata, with the address seam replaced by
// a recorder and the message seam by a script of the boxes expected.
#include "data/app_error.h"
#include "data_module_fixture.h"
#include "transmission/handover_address.h"
#include "transmission/invio_sdi.h"
#include "data/messages.h"
#include "recording_opener.h"
#include "settings/service_settings.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <optional>

namespace {

// Boxes expected in order: an information box (no answer) or a question with its answer.
class ScriptedBoxes : public Messages {
public:
    ~ScriptedBoxes() override { EXPECT_TRUE(m_expected.isEmpty()) << "boxes never shown: " << m_expected.size(); }
    void expectInform(const QString &text) { m_expected.append({false, text, true}); }
    void expectConfirm(const QString &text, bool yes) { m_expected.append({true, text, yes}); }

    void inform(const QString &text) override { next(false, text); }
    bool confirm(const QString &text) override { return next(true, text); }

private:
    struct Box {
        bool question;
        QString text;
        bool answer;
    };
    bool next(bool question, const QString &text)
    {
        if (m_expected.isEmpty()) {
            ADD_FAILURE() << "unexpected box: " << text.toStdString();
            return false;
        }
        const Box box = m_expected.takeFirst();
        EXPECT_EQ(box.question, question) << text.toStdString();
        EXPECT_EQ(box.text, text);
        return box.answer;
    }
    QList<Box> m_expected;
};

class HandOver : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    QTemporaryDir folder;
    TDiz diz;
    ScriptedBoxes boxes;
    RecordingOpener opener;
    const QString base = serviceBaseUrl(loadServiceSettings());

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        clearTables({"testata", "azienda"});
        db->insert(QStringLiteral("azienda"), {{"rag_soc", "Norva Srl"}, {"path", folder.path() + QLatin1Char('/')}});
    }

    // An invoice with `number`, its flag and file name; `written` puts the file in the folder.
    void invoice(int number, const QVariant &sent, const QVariant &fileName, bool written = true)
    {
        db->insert(QStringLiteral("testata"), {{"id_invio", number}, {"inviata", sent}, {"nome_file", fileName}, {"rag_soc", "Cliente"}});
        if (written && !fileName.isNull() && !fileName.toString().isEmpty()) {
            QFile f(folder.filePath(fileName.toString()));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("<xml/>");
        }
    }
    static QString fileOf(int number) { return QStringLiteral("IT01234567890_%1.xml").arg(number, 5, 10, QLatin1Char('0')); }
    QString privateAddress(int number) { return base + QStringLiteral("/Fatt_Ven/mail_sdi.php?nome_file=%1&n_invio=%2").arg(fileOf(number)).arg(number); }

    void open() { openDataModuleOn(diz); }
    void current(int number) { ASSERT_TRUE(diz.Testata.locate(QStringLiteral("id_invio"), number)); }
    QList<int> listed()
    {
        QList<int> out;
        for (int r = 0; r < diz.Testata.rowCount(); ++r)
            out << diz.Testata.valueAt(r, diz.Testata.fieldIndex(QStringLiteral("id_invio"))).toInt();
        return out;
    }
};

TEST_F(HandOver, ASentInvoiceIsRefusedWithoutAQuestionByBothCommands)
{
    invoice(57, 1, fileOf(57));
    open();
    for (auto command : {&InvioSdi, &InvioPa}) {
        boxes.expectInform(QStringLiteral("Fattura gia inviata"));
        command(diz, boxes);
    }
    EXPECT_TRUE(opener.addresses.isEmpty());
}

TEST_F(HandOver, NoOpensNothingAndYesOpensTheScriptOfTheCommand)
{
    invoice(57, 0, fileOf(57));
    invoice(58, QVariant(), fileOf(58));  // without a flag: unsent
    open();
    current(57);
    for (auto command : {&InvioSdi, &InvioPa}) {
        boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), false);
        command(diz, boxes);
    }
    EXPECT_TRUE(opener.addresses.isEmpty());

    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    InvioSdi(diz, boxes);
    current(58);
    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    InvioPa(diz, boxes);
    EXPECT_EQ(opener.addresses,
              (QStringList{base + "/Fatt_Ven/mail_sdi.php?nome_file=IT01234567890_00057.xml&n_invio=57",
                           base + "/Fatt_Ven/mail_sdi_pa.php?nome_file=IT01234567890_00058.xml&n_invio=58"}));
    EXPECT_TRUE(opener.addresses[0].startsWith(QStringLiteral("http://localhost:")));
}

TEST_F(HandOver, AFileNameIsPercentEncodedInTheAddress)
{
    invoice(7, 0, QStringLiteral("fattura 7&n_invio=1.xml"));
    open();
    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    InvioSdi(diz, boxes);
    EXPECT_EQ(opener.addresses, QStringList{base + "/Fatt_Ven/mail_sdi.php?nome_file=fattura%207%26n_invio%3D1.xml&n_invio=7"});
}

TEST_F(HandOver, AnInvoiceWithoutAWrittenFileIsNotHandedOverAndTheUserIsToldWhy)
{
    invoice(1, 0, QVariant());
    invoice(2, 0, QString());
    invoice(3, 0, fileOf(3), false);
    open();
    const QString dir = folder.path() + QLatin1Char('/');
    const std::pair<int, QString> cases[] = {
        {1, "Fattura 1 non inviata: file XML non ancora creato. Usare prima \"Creazione File XML\"."},
        {2, "Fattura 2 non inviata: file XML non ancora creato. Usare prima \"Creazione File XML\"."},
        {3, "Fattura 3 non inviata: file IT01234567890_00003.xml non trovato in " + dir + ". Usare prima \"Creazione File XML\"."},
    };
    for (const auto &[number, message] : cases) {
        current(number);
        boxes.expectInform(message);
        InvioSdi(diz, boxes);
        boxes.expectInform(message);
        InvioPa(diz, boxes);
    }
    EXPECT_TRUE(opener.addresses.isEmpty());
}

TEST_F(HandOver, TheBatchHandsOverEveryUnsentInvoiceInOrderAndRestoresTheList)
{
    invoice(20, QVariant(), fileOf(20));  // no flag: taken
    invoice(12, 0, fileOf(12));
    invoice(13, 1, fileOf(13));           // sent: left out
    invoice(15, 0, fileOf(15));
    open();
    current(20);
    const QString statement = diz.Testata.sql();

    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    InvioFattureSdi(diz, boxes);
    EXPECT_EQ(opener.addresses, (QStringList{privateAddress(12), privateAddress(15), privateAddress(20)}));
    EXPECT_EQ(listed(), (QList<int>{12, 13, 15, 20}));
    EXPECT_EQ(diz.Testata.currentIndex(), 0);
    EXPECT_EQ(diz.Testata.sql(), statement);
}

TEST_F(HandOver, TheBatchSkipsInvoicesWithoutAFileAndListsThemAtTheEnd)
{
    invoice(12, 0, fileOf(12));
    invoice(14, 0, QVariant());
    invoice(15, 0, fileOf(15), false);
    invoice(20, 0, fileOf(20));
    open();
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    boxes.expectInform(QStringLiteral("Fatture non inviate perche senza file XML:\n14: file XML non ancora creato\n"
                                      "15: file IT01234567890_00015.xml non trovato in %1/")
                           .arg(folder.path()));
    InvioFattureSdi(diz, boxes);
    EXPECT_EQ(opener.addresses, (QStringList{privateAddress(12), privateAddress(20)}));
    EXPECT_EQ(listed(), (QList<int>{12, 14, 15, 20}));
}

TEST_F(HandOver, ABatchWithNothingToSendOrAnsweredNoOpensNothingAndKeepsTheWholeList)
{
    invoice(12, 1, fileOf(12));
    invoice(15, 1, fileOf(15));
    open();
    current(15);
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), false);
    InvioFattureSdi(diz, boxes);
    EXPECT_EQ(diz.Testata.currentIndex(), 1);  // untouched by No
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    InvioFattureSdi(diz, boxes);
    EXPECT_TRUE(opener.addresses.isEmpty());
    EXPECT_EQ(listed(), (QList<int>{12, 15}));
    EXPECT_EQ(diz.Testata.currentIndex(), 0);
}

TEST_F(HandOver, AFailingStepStopsTheBatchAndStillRestoresTheWholeList)
{
    for (int n : {12, 15, 20})
        invoice(n, 0, fileOf(n));
    invoice(30, 1, fileOf(30));
    open();
    opener.failAt = 2;
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    EXPECT_THROW(InvioFattureSdi(diz, boxes), AppError);
    EXPECT_EQ(opener.addresses, (QStringList{privateAddress(12), privateAddress(15)}));
    EXPECT_EQ(listed(), (QList<int>{12, 15, 20, 30}));
    EXPECT_EQ(diz.Testata.currentIndex(), 0);
}

// The batch works through the invoices it found at its start: a re-read while the user
// reads a box (the service marked the first invoice sent, so the list lost a row) does
// not make it skip the next one, and an invoice deleted on another desk meanwhile is
// listed with its reason.
TEST_F(HandOver, TheBatchWorksThroughTheInvoicesFoundAtItsStartWhateverReReadsDo)
{
    for (int n : {12, 15, 20, 25})
        invoice(n, 0, fileOf(n));
    open();
    TDiz deskB;
    openDataModuleOn(deskB);
    opener.onOpen = [&](const QString &address) {
        if (address != privateAddress(12))
            return;
        db->sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = 12"));
        ASSERT_TRUE(deskB.Testata.locate(QStringLiteral("id_invio"), 20));
        deskB.Testata.remove();
        db->sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = 25"));
        diz.Testata.refresh();  // the periodic re-read, while the box is open
    };
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    boxes.expectInform(QStringLiteral("Fatture non inviate:\n20: eliminata nel frattempo su un'altra postazione\n"
                                      "25: inviata nel frattempo"));
    InvioFattureSdi(diz, boxes);
    EXPECT_EQ(opener.addresses, (QStringList{privateAddress(12), privateAddress(15)}));
    EXPECT_EQ(listed(), (QList<int>{12, 15, 25}));
}

// A one-request web server on the loopback interface answering with `page`.
class OneAnswerServer : public QTcpServer {
public:
    explicit OneAnswerServer(QByteArray page) : m_page(std::move(page))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                m_request += socket->readAll();
                if (!m_request.contains("\r\n\r\n"))
                    return;
                requestLine = m_request.left(m_request.indexOf("\r\n"));
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: "
                              + QByteArray::number(m_page.size()) + "\r\n\r\n" + m_page);
                socket->disconnectFromHost();
            });
        });
    }
    QByteArray requestLine;

private:
    QByteArray m_page;
    QByteArray m_request;
};

TEST(DesktopOpener, WithoutABrowserTheAddressIsRequestedAndTheAnswerShownAsText)
{
    OneAnswerServer server("<html><body><h1>Fattura inviata</h1><p>IT01234567890_00057.xml consegnato</p></body></html>");
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/Fatt_Ven/mail_sdi.php?nome_file=IT01234567890_00057.xml&n_invio=57")
                                .arg(server.serverPort());
    QStringList browserAsked;
    DesktopAddressOpener opener([&](const QUrl &url) {
        browserAsked << url.toString();
        return false;
    });
    ScriptedBoxes boxes;
    boxes.expectInform(QStringLiteral("Fattura inviata\nIT01234567890_00057.xml consegnato"));
    opener.open(address, boxes);
    EXPECT_EQ(browserAsked, QStringList{address});
    EXPECT_EQ(server.requestLine, "GET /Fatt_Ven/mail_sdi.php?nome_file=IT01234567890_00057.xml&n_invio=57 HTTP/1.1");
}

// A desktop whose xdg-open starts but that has no program for web addresses would show
// nothing: the address is then requested here and its answer shown.
TEST(DesktopOpener, ADesktopWithoutAWebBrowserIsNotTrustedToShowTheAnswer)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString opened = bin.filePath(QStringLiteral("opened"));
    auto script = [&](const QString &name, const QByteArray &body) {
        QFile file(bin.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n" + body + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    script(QStringLiteral("xdg-mime"), "exit 0");                                        // no handler for http
    script(QStringLiteral("xdg-open"), "echo \"$1\" >>'" + opened.toUtf8() + "'; exit 0");  // starts, shows nothing
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", bin.path().toUtf8() + ":" + path);
    qunsetenv("BROWSER");
    EXPECT_FALSE(desktopHasWebBrowser());

    OneAnswerServer server("<html><body><p>Fattura inviata</p></body></html>");
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/Fatt_Ven/mail_sdi.php?nome_file=a.xml&n_invio=1").arg(server.serverPort());
    ScriptedBoxes boxes;
    boxes.expectInform(QStringLiteral("Fattura inviata"));
    DesktopAddressOpener().open(address, boxes);
    EXPECT_FALSE(QFile::exists(opened));

    script(QStringLiteral("xdg-mime"), "echo firefox-esr.desktop");
    EXPECT_TRUE(desktopHasWebBrowser());
    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);
}

TEST(DesktopOpener, AServiceThatDoesNotAnswerIsReported)
{
    QTcpServer closed;  // take a free port, then leave it
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/Fatt_Ven/mail_sdi.php?nome_file=a.xml&n_invio=1").arg(closed.serverPort());
    closed.close();
    const QString answer = requestServiceAnswer(address, 5000);
    EXPECT_TRUE(answer.startsWith(QStringLiteral("Il servizio locale non risponde (") + address + QStringLiteral("): ")))
        << answer.toStdString();
}

} // namespace
