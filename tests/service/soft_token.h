#pragma once
// A software PKCS#11 token (Debian's SoftHSM) for the tests: its store lives in a
// temporary folder named by SOFTHSM2_CONF, which the service started afterwards inherits;
// a key and its certificate are put on it with softhsm2-util and pkcs11-tool.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace ServiceTest {

class SoftToken {
public:
    static QString module() { return QStringLiteral("/usr/lib/softhsm/libsofthsm2.so"); }

    // Initialises a token labelled `label` with user PIN `pin`.
    SoftToken(const QString &label, const QString &pin) : m_label(label), m_pin(pin)
    {
        const QString conf = m_dir.filePath(QStringLiteral("softhsm2.conf"));
        QDir(m_dir.path()).mkpath(QStringLiteral("tokens"));
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            ADD_FAILURE() << "cannot write " << conf.toStdString();
            return;
        }
        f.write(QStringLiteral("directories.tokendir = %1\nobjectstore.backend = file\nlog.level = ERROR\n")
                    .arg(m_dir.filePath(QStringLiteral("tokens")))
                    .toUtf8());
        f.close();
        m_previousConf = qgetenv("SOFTHSM2_CONF");
        qputenv("SOFTHSM2_CONF", conf.toUtf8());
        QString output;
        m_ok = run(QStringLiteral("softhsm2-util"), {"--init-token", "--free", "--label", label, "--so-pin", "11223344", "--pin", pin}, &output);
        // "The token has been initialized and is reassigned to slot 1234567"
        const qsizetype at = output.lastIndexOf(QStringLiteral("slot "));
        if (at >= 0)
            m_slot = output.mid(at + 5).trimmed();
    }
    ~SoftToken()
    {
        if (m_previousConf.isEmpty())
            qunsetenv("SOFTHSM2_CONF");
        else
            qputenv("SOFTHSM2_CONF", m_previousConf);
    }

    bool ok() const { return m_ok; }
    // The number of the slot that holds the token.
    QString slot() const { return m_slot; }

    // Stores a private key (PKCS#8 PEM) and its certificate (DER) under `objectLabel`.
    bool put(const QString &objectLabel, const QByteArray &keyPem, const QByteArray &certificateDer, const QString &id = QStringLiteral("01"))
    {
        const QString key = m_dir.filePath(objectLabel + QStringLiteral(".key.pem"));
        const QString cert = m_dir.filePath(objectLabel + QStringLiteral(".cert.der"));
        for (const auto &[path, bytes] : {std::pair{key, keyPem}, std::pair{cert, certificateDer}}) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                return false;
        }
        return run(QStringLiteral("softhsm2-util"), {"--import", key, "--token", m_label, "--label", objectLabel, "--id", id, "--pin", m_pin})
               && run(QStringLiteral("pkcs11-tool"), {"--module", module(), "--token-label", m_label, "--login", "--pin", m_pin,
                                                      "--write-object", cert, "--type", "cert", "--id", id, "--label", objectLabel});
    }

private:
    static bool run(const QString &program, const QStringList &args, QString *output = nullptr)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            ADD_FAILURE() << program.toStdString() << " failed: " << p.readAll().toStdString() << p.errorString().toStdString();
            return false;
        }
        if (output)
            *output = QString::fromUtf8(p.readAll());
        return true;
    }

    QTemporaryDir m_dir;
    QString m_label, m_pin, m_slot;
    QByteArray m_previousConf;
    bool m_ok = false;
};

} // namespace ServiceTest
