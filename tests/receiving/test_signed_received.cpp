// Signed received files (.xml.p7m): made here with the openssl command and a self-signed
// key, they must load the very rows that their plain content loads.
#include "received_fixture.h"
#include "receiving/received_invoice.h"

#include <QProcess>
#include <QRegularExpression>

namespace {

class SignedReceived : public ReceivedFixture {
protected:
    QTemporaryDir keys;

    static void openssl(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("openssl"), args);
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }

    void SetUp() override
    {
        ReceivedFixture::SetUp();
        ASSERT_TRUE(keys.isValid());
        openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                 "/CN=Fornitore di prova", "-days", "2", "-keyout", keys.filePath("key.pem"), "-out", keys.filePath("cert.pem")});
    }

    // The signed envelope of `plainPath` in DER; `attached` false makes a detached signature.
    QByteArray sign(const QString &plainPath, bool attached = true)
    {
        QStringList args{"cms", "-sign", "-binary", "-in", plainPath, "-signer", keys.filePath("cert.pem"), "-inkey",
                         keys.filePath("key.pem"), "-outform", "DER", "-out", keys.filePath("signed.der")};
        if (attached)
            args << "-nodetach";
        openssl(args);
        return readAll(keys.filePath("signed.der"));
    }

    LoadOutcome load(const QString &name) { return loadReceivedInvoice(db->sql(), folder.path(), name); }

    // What a loading stored, without the server's keys and the file name.
    static QStringList stored()
    {
        return dump(QStringLiteral("SELECT * FROM test_car ORDER BY prot")).replaceInStrings(QRegularExpression("^prot=\\d+\\|"), QString())
                   .replaceInStrings(QRegularExpression("\\|nome_file=[^|]*"), QString())
            + dump(QStringLiteral("SELECT * FROM dett_car ORDER BY prot_car, prog")).replaceInStrings(QRegularExpression("^prot_car=\\d+\\|"), QString());
    }
    void clear()
    {
        db->sql().exec(QStringLiteral("DELETE FROM test_car"));
        db->sql().exec(QStringLiteral("DELETE FROM dett_car"));
    }
};

TEST_F(SignedReceived, DerPemAndBareBase64EnvelopesLoadTheRowsOfThePlainFile)
{
    for (const QString &source : {sampleFile(QStringLiteral("IT01234567890_FPA03.xml")), demoFile(QStringLiteral("IT02345678901_A0042.xml"))}) {
        SCOPED_TRACE(source.toStdString());
        clear();
        ASSERT_TRUE(load(put(QStringLiteral("plain.xml"), readAll(source))).loaded);
        const QStringList plainRows = stored();
        ASSERT_FALSE(plainRows.isEmpty());

        const QByteArray der = sign(source);
        const QByteArray base64 = der.toBase64();
        QByteArray wrapped;  // 64 characters a line, as PEM writes them
        for (qsizetype i = 0; i < base64.size(); i += 64)
            wrapped += base64.mid(i, 64) + "\r\n";
        const std::pair<const char *, QByteArray> envelopes[] = {
            {"der.xml.p7m", der},
            {"pem.xml.p7m", "-----BEGIN CMS-----\n" + wrapped + "-----END CMS-----\n"},
            {"b64.xml.p7m", wrapped},
        };
        for (const auto &[name, bytes] : envelopes) {
            SCOPED_TRACE(name);
            clear();
            const LoadOutcome out = load(put(QString::fromLatin1(name), bytes));
            ASSERT_TRUE(out.loaded) << out.message.toStdString();
            EXPECT_EQ(stored(), plainRows);
            EXPECT_EQ(headerColumn("nome_file").value(0), QString::fromLatin1(name));
        }
    }
}

TEST_F(SignedReceived, AnAlteredContentOrADetachedSignatureIsRefusedWithNothingStored)
{
    const QString source = sampleFile(QStringLiteral("IT01234567890_FPR01.xml"));
    QByteArray altered = sign(source);
    const qsizetype at = altered.indexOf("SASSARI");
    ASSERT_GT(at, 0);
    altered[at + 6] = 'O';
    put(QStringLiteral("altered.xml.p7m"), altered);
    put(QStringLiteral("detached.xml.p7m"), sign(source, false));

    const std::pair<const char *, const char *> cases[] = {
        {"altered.xml.p7m", "File altered.xml.p7m non caricato: la firma del file non corrisponde al contenuto"},
        {"detached.xml.p7m", "File detached.xml.p7m non caricato: il file firmato non contiene la fattura (firma senza contenuto)"},
    };
    for (const auto &[name, message] : cases) {
        SCOPED_TRACE(name);
        const LoadOutcome out = load(QString::fromLatin1(name));
        EXPECT_FALSE(out.loaded);
        EXPECT_EQ(out.message, QString::fromUtf8(message));
        EXPECT_EQ(count("test_car"), 0);
        EXPECT_EQ(count("dett_car"), 0);
    }
}

} // namespace
