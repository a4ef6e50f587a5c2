#pragma once
// The real service program, started by a test on a free port of the loopback interface
// with a settings file of the test's own, and stopped again when the object goes away.
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <httplib.h>

namespace ServiceTest {

struct Reply {
    int status = 0;   // 0: no answer at all
    QString body;
};

// The settings that route the service to the private test server's database `database`.
inline QMap<QString, QString> testDatabaseSettings(const QString &database)
{
    const auto env = QProcessEnvironment::systemEnvironment();
    return {{QStringLiteral("db_host"), QStringLiteral("localhost")},
            {QStringLiteral("db_name"), database},
            {QStringLiteral("db_socket"), env.value(QStringLiteral("XN_TEST_DB_SOCKET"))},
            {QStringLiteral("db_port"), env.value(QStringLiteral("XN_TEST_DB_PORT"), QStringLiteral("33061"))}};
}

class ServiceProcess {
public:
    // Writes `settings` (port 0 added: any free port) into a servizio.ini of a folder of its
    // own, starts the program with it and waits until it answers.
    explicit ServiceProcess(QMap<QString, QString> settings)
    {
        settings.insert(QStringLiteral("port"), QStringLiteral("0"));
        const QString ini = m_dir.filePath(QStringLiteral("servizio.ini"));
        QFile f(ini);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            ADD_FAILURE() << "cannot write " << ini.toStdString();
            return;
        }
        for (auto it = settings.begin(); it != settings.end(); ++it)
            f.write((it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n')).toUtf8());
        f.close();

        m_log = m_dir.filePath(QStringLiteral("service.log"));
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setStandardOutputFile(m_log);
        m_process.setStandardErrorFile(m_log, QIODevice::Append);
        m_process.start(QStringLiteral(XN_SERVICE_PROGRAM), {ini});
        if (!m_process.waitForStarted(10000)) {
            ADD_FAILURE() << "the service did not start: " << m_process.errorString().toStdString();
            return;
        }
        // The program prints the port it listens on, then answers.
        QElapsedTimer clock;
        clock.start();
        static const QRegularExpression listening(QStringLiteral("in ascolto su http://127\\.0\\.0\\.1:(\\d+)"));
        while (clock.elapsed() < 20000 && m_process.state() == QProcess::Running) {
            const auto match = listening.match(log());
            if (match.hasMatch()) {
                m_port = match.captured(1).toInt();
                break;
            }
            QThread::msleep(20);
        }
        if (m_port == 0) {
            ADD_FAILURE() << "the service did not start listening:\n" << log().toStdString();
            return;
        }
        while (clock.elapsed() < 20000 && get(QStringLiteral("/")).status != 200)
            QThread::msleep(20);
    }

    ~ServiceProcess()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            ADD_FAILURE() << "the service did not stop on SIGTERM";
            m_process.kill();
            m_process.waitForFinished(5000);
        }
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_process.exitCode(), 0) << log().toStdString();
    }

    int port() const { return m_port; }
    bool started() const { return m_port != 0; }
    QString log() const
    {
        QFile f(m_log);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // GET of a path with its query, exactly as given (no encoding added).
    Reply get(const QString &pathAndQuery) const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(5);
        client.set_read_timeout(120);
        const auto res = client.Get(pathAndQuery.toStdString().c_str());
        if (!res)
            return {};
        return {res->status, QString::fromStdString(res->body)};
    }

private:
    QTemporaryDir m_dir;
    QString m_log;
    QProcess m_process;
    int m_port = 0;
};

} // namespace ServiceTest
