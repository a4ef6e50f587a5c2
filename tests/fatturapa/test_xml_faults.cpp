// The XML writers under faults: a disk that fills up, a post of the file name that the
// server refuses, characters that an XML document cannot hold.
#include "fatturapa/crea_file_xml.h"
#include "fatturapa/crea_file_xml_pa.h"
#include "xml_writer_fixture.h"

#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using XmlTest::readFile;

class XmlFaults : public XmlWriterTest {
protected:
    void TearDown() override { db->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS refuse_testata_update")); }

    // The error text of one writer run, empty when it ran through.
    static QString errorOf(const std::function<void()> &run)
    {
        try {
            run();
        } catch (const AppError &e) {
            return e.text();
        }
        return QString();
    }

    QString nameInMemory() const { return diz->Testata.text(QStringLiteral("nome_file")); }
};

// ---------------------------------------------------------------- a full disk

// A folder on a file system of 64 KiB that is filled up to its last byte (needs root).
class FullTmpfs {
public:
    FullTmpfs()
    {
        if (geteuid() != 0 || !m_dir.isValid())
            return;
        const QByteArray path = QFile::encodeName(m_dir.path());
        if (mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0)
            return;
        m_mounted = true;
    }
    ~FullTmpfs()
    {
        if (m_mounted)
            umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool usable() const { return m_mounted; }
    QString folder() const { return m_dir.path() + QLatin1Char('/'); }
    // Fills every free byte with a file of its own.
    void fill() const
    {
        const int fd = ::open(QFile::encodeName(folder() + QStringLiteral("filler")).constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray block(512, 'x');
        while (::write(fd, block.constData(), size_t(block.size())) > 0) {
        }
        ::close(fd);
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// A limit on the size of every file the process writes, with the signal that exceeding
// it raises ignored (the write fails with "File too large" instead); lifted on leaving.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_before{};
    void (*m_handler)(int) = nullptr;
};

// The file of a small invoice fits in the writer's buffer, so the disk is found full only
// when the buffer is written out at the end: the writer must see it, say which file and
// why, leave no file (an earlier one of the name stays) and keep the earlier file name.
TEST_F(XmlFaults, AFullDiskIsReportedWithTheFileAndTheCauseAndLeavesNothing)
{
    const QString name = QStringLiteral("IT01234567890_00042.xml");
    struct Outcome {
        QString error;
        QStringList files;
        QByteArray earlierFile;
    };
    auto run = [&](const QString &folder, const std::function<void()> &fillUp) {
        setCompany({{"path", folder}});
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = addInvoice({{"id_invio", 42}, {"nome_file", "old.xml"}});
        addLine(id);
        {
            QFile earlier(folder + name);
            EXPECT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier file\r\n");
        }
        Outcome out;
        out.error = errorOf([&] {
            fillUp();
            CreaFileXml(*diz, QStringLiteral("A"));
        });
        out.files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        out.earlierFile = readFile(folder + name);
        EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
        EXPECT_EQ(nameInMemory(), QStringLiteral("old.xml"));
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        return out;
    };

    bool triedOne = false;
    FullTmpfs tmpfs;
    if (tmpfs.usable()) {
        SCOPED_TRACE("full tmpfs");
        triedOne = true;
        const Outcome out = run(tmpfs.folder(), [&] { tmpfs.fill(); });
        EXPECT_EQ(out.error, QStringLiteral("Scrittura del file %1 non riuscita: No space left on device").arg(tmpfs.folder() + name));
        EXPECT_EQ(out.files, (QStringList{QStringLiteral("filler"), name}));
        EXPECT_EQ(out.earlierFile, QByteArray("earlier file\r\n"));
    }
    {
        SCOPED_TRACE("file-size limit");
        triedOne = true;
        std::unique_ptr<FileSizeLimit> limit;
        const Outcome out = run(folder(), [&] { limit = std::make_unique<FileSizeLimit>(1024); });
        limit.reset();
        EXPECT_EQ(out.error, QStringLiteral("Scrittura del file %1 non riuscita: File too large").arg(folder() + name));
        EXPECT_EQ(out.files, QStringList{name});
        EXPECT_EQ(out.earlierFile, QByteArray("earlier file\r\n"));
    }
    EXPECT_TRUE(triedOne);
}

// ---------------------------------------------------------------- a refused post of the name

// The server refuses every change of a header (as it would a lost connection): the writer
// takes back its own change and writes no file.
TEST_F(XmlFaults, ARefusedPostOfTheNameLeavesNoPendingChange)
{
    const int id = addInvoice({{"id_invio", 42}, {"nome_file", "old.xml"}, {"rag_soc", "Rossi"}});
    addLine(id);
    db->sql().exec(QStringLiteral("CREATE TRIGGER refuse_testata_update BEFORE UPDATE ON testata FOR EACH ROW "
                                  "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Modifica rifiutata'"));

    for (const auto &writer : {CreaFileXml, CreaFileXmlPA}) {
        // Browsing: the row leaves editing as it was.
        select(id);
        EXPECT_EQ(errorOf([&] { writer(*diz, QStringLiteral("A")); }), QStringLiteral("Modifica rifiutata"));
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        EXPECT_EQ(nameInMemory(), QStringLiteral("old.xml"));
        EXPECT_TRUE(filesInFolder().isEmpty());

        // Editing: the user's change stays pending, the name is the earlier one.
        diz->Testata.setText(QStringLiteral("rag_soc"), QStringLiteral("Rossi Mario"));
        EXPECT_EQ(errorOf([&] { writer(*diz, QStringLiteral("A")); }), QStringLiteral("Modifica rifiutata"));
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
        EXPECT_EQ(diz->Testata.text(QStringLiteral("rag_soc")), QStringLiteral("Rossi Mario"));
        EXPECT_EQ(nameInMemory(), QStringLiteral("old.xml"));
        EXPECT_TRUE(filesInFolder().isEmpty());
        diz->Testata.cancel();
    }

    // Once the server accepts changes again, the user's next move stores no file name.
    db->sql().exec(QStringLiteral("DROP TRIGGER refuse_testata_update"));
    select(id);
    diz->Testata.setText(QStringLiteral("rag_soc"), QStringLiteral("Rossi Mario"));
    diz->Testata.post();
    EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
}

// The connection is lost just before the writer stores the name (killed from a second
// connection): the writer reports it, takes back its own change and writes no file, so
// the user's next move stores nothing of it; the next run writes the file.
TEST_F(XmlFaults, ALostConnectionAtThePostOfTheNameLeavesNoPendingChange)
{
    for (const auto &writer : {CreaFileXml, CreaFileXmlPA}) {
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = addInvoice({{"id_invio", 42}, {"nome_file", "old.xml"}});
        addLine(id);
        db->sql().exec(QStringLiteral("KILL CONNECTION %1").arg(diz->xml_conn.threadId()));
        const QString text = errorOf([&] { writer(*diz, QStringLiteral("A")); });
        EXPECT_TRUE(text.startsWith(QStringLiteral("Connessione al server del database interrotta"))) << text.toStdString();
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        EXPECT_EQ(nameInMemory(), QStringLiteral("old.xml"));
        EXPECT_TRUE(filesInFolder().isEmpty());

        diz->Testata.first();
        EXPECT_EQ(storedFileName(id), QStringLiteral("old.xml"));
        select(id);
        EXPECT_EQ(errorOf([&] { writer(*diz, QStringLiteral("A")); }), QString());
        EXPECT_EQ(storedFileName(id), QStringLiteral("IT01234567890_00042.xml"));
        EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("IT01234567890_00042.xml")});
        QFile::remove(writtenPath(id));
    }
}

// A failure while the file is written leaves the earlier name in the row and in the table.
TEST_F(XmlFaults, AFailedRunKeepsTheEarlierFileName)
{
    const struct {
        const char *what;
        QVariant earlier;
    } cases[] = {{"a name", "old.xml"}, {"no name", QVariant()}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = addInvoice({{"id_invio", 42}, {"nome_file", c.earlier}});
        addLine(id, {{"prezzo_unit", "cento"}});
        EXPECT_EQ(errorOf([&] { CreaFileXml(*diz, QStringLiteral("A")); }),
                  QStringLiteral("'cento' is not a valid floating point value"));
        EXPECT_EQ(storedFileName(id), c.earlier.isNull() ? QStringLiteral("<NULL>") : c.earlier.toString());
        EXPECT_EQ(diz->Testata.isNull(QStringLiteral("nome_file")), c.earlier.isNull());
        EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
        EXPECT_TRUE(filesInFolder().isEmpty());
    }
}

// ---------------------------------------------------------------- characters XML cannot hold

// Control characters (NUL, U+0001, U+001F ...) and U+FFFF are left out of the file,
// wherever they come from; tab and accented letters stay.
TEST_F(XmlFaults, CharactersAnXmlDocumentCannotHoldAreLeftOut)
{
    const QString nul(QChar(u'\0'));
    const QString description = QStringLiteral("Vite") + nul + QStringLiteral("\x01M6\x1F")
        + QStringLiteral(" zincata ") + QChar(0xFFFF) + QStringLiteral("\tè");
    for (const auto &writer : {CreaFileXml, CreaFileXmlPA}) {
        db->sql().exec(QStringLiteral("DELETE FROM testata"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        const int id = addInvoice({{"id_invio", 42}, {"rag_soc", QStringLiteral("Rossi\x02 S.p.A.")},
                                   {"cod_fis", "09876543210"}, {"num_doc", QStringLiteral("12\x07")}});
        addLine(id, {{"descrizione", description}, {"lotto", QStringLiteral("L\x1B" "1")}});
        const QStringList lines = write(writer, id);
        EXPECT_EQ(XmlTest::schemaErrors(writtenPath(id)), QString());
        EXPECT_TRUE(lines.contains(QStringLiteral("<Descrizione>ViteM6 zincata \tè</Descrizione>")));
        EXPECT_TRUE(lines.contains(QStringLiteral("<Denominazione>Rossi S.p.A.</Denominazione>")));
        EXPECT_TRUE(lines.contains(QStringLiteral("<Numero>12</Numero>")));
        EXPECT_TRUE(lines.contains(QStringLiteral("<RiferimentoTesto>L1</RiferimentoTesto>")));
    }
}

} // namespace
