#pragma once
// Helpers of the rendering tests: the official samples shipped beside the tests, the
// text a rendered page shows, files written and read back, and signing with openssl.
#include "rendering/closed_html_document.h"
#include "test_printing.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace RenderTest {

inline QString dataFile(const QString &name) { return QStringLiteral(XN_TEST_DATA_DIR "/") + name; }

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(content), content.size());
}

// The text the page shows, blanks runs made one blank.
inline QString shownText(const QByteArray &html)
{
    const Rendering::ClosedHtmlDocument document(html);
    return document.toPlainText().simplified();
}

// Runs openssl; false (with a failure) when it does not succeed.
inline bool openssl(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << "openssl " << args.join(' ').toStdString() << ": " << p.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

// A self-signed key in `keys`, and the attached CAdES envelope (DER) of a file made with it.
class Signer {
public:
    explicit Signer(const QTemporaryDir &keys) : m_keys(keys)
    {
        m_ready = openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes", "-subj",
                           "/CN=Fornitore di prova", "-days", "2", "-keyout", keys.filePath("key.pem"), "-out",
                           keys.filePath("cert.pem")});
    }
    QByteArray sign(const QString &plainPath) const
    {
        if (!m_ready || !openssl({"cms", "-sign", "-binary", "-nodetach", "-in", plainPath, "-signer", m_keys.filePath("cert.pem"),
                                  "-inkey", m_keys.filePath("key.pem"), "-outform", "DER", "-out", m_keys.filePath("signed.der")}))
            return {};
        return readAll(m_keys.filePath("signed.der"));
    }

private:
    const QTemporaryDir &m_keys;
    bool m_ready = false;
};

} // namespace RenderTest
