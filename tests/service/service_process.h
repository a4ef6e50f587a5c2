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
#include <QUuid>
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
        if (!settings.contains(QStringLiteral("secret")))
            settings.insert(QStringLiteral("secret"), QUuid::createUuid().toString(QUuid::Id128));
        m_secret = settings.value(QStringLiteral("secret"));
        m_ini = m_dir.filePath(QStringLiteral("servizio.ini"));
        QFile f(m_ini);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Text)) {
            ADD_FAILURE() << "cannot write " << m_ini.toStdString();
            return;
        }
        for (auto it = settings.begin(); it != settings.end(); ++it)
            f.write((it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n')).toUtf8());
        f.close();
        m_log = m_dir.filePath(QStringLiteral("service.log"));
        start();
    }

    // Stops the program at once (SIGKILL), as a crash or a power cut would.
    void killHard()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
        m_port = 0;
    }

    // Starts the program again with the same settings and folder (after killHard()).
    void restart()
    {
        QFile::remove(m_log);
        start();
    }

    // The folder of the settings file: relative settings are taken from here.
    QString folder() const { return m_dir.path(); }
    qint64 pid() const { return m_process.processId(); }

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

    // GET of a path with its query as given, the installation's key added as the program
    // adds it.
    Reply get(const QString &pathAndQuery) const { return request("GET", pathAndQuery); }

    // A request with the method and headers given; `withKey` false leaves the key out.
    Reply request(const std::string &method, const QString &pathAndQuery, const httplib::Headers &headers = {},
                  bool withKey = true) const
    {
        httplib::Client client("127.0.0.1", m_port);
        client.set_connection_timeout(5);
        client.set_read_timeout(120);
        httplib::Request req;
        req.method = method;
        req.path = (withKey ? withSecret(pathAndQuery) : pathAndQuery).toStdString();
        req.headers = headers;
        const auto res = client.send(req);
        if (!res)
            return {};
        return {res->status, QString::fromStdString(res->body)};
    }

    QString secret() const { return m_secret; }
    // `pathAndQuery` with the key query "chiave" added.
    QString withSecret(const QString &pathAndQuery) const
    {
        return pathAndQuery + (pathAndQuery.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) + QStringLiteral("chiave=")
            + m_secret;
    }

private:
    void start()
    {
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setStandardOutputFile(m_log);
        m_process.setStandardErrorFile(m_log, QIODevice::Append);
        m_process.start(QStringLiteral(XN_SERVICE_PROGRAM), {m_ini});
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

    QTemporaryDir m_dir;
    QString m_ini;
    QString m_secret;
    QString m_log;
    QProcess m_process;
    int m_port = 0;
};

} // namespace ServiceTest
