#include "test_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <csignal>
#include <stdexcept>
#include <sys/types.h>

namespace {

QString env(const char *name, const char *fallback = "")
{
    return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(name), QString::fromLatin1(fallback));
}

// The server's folder holds its socket and its pid file.
QString socketPath() { return env("XN_TEST_DB_SOCKET"); }
QString dataDir() { return QFileInfo(socketPath()).absolutePath(); }
QString script() { return QDir(env("XN_SCHEMA_DIR")).absoluteFilePath(QStringLiteral("../scripts/db-server")); }

void runScript(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(script(), args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error("db-server " + args.join(u' ').toStdString() + " failed");
}

// The running server's process; a server just started may not have written it yet.
pid_t serverPid()
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        QFile f(dataDir() + QStringLiteral("/mysqld.pid"));
        if (f.open(QIODevice::ReadOnly)) {
            const pid_t pid = pid_t(f.readAll().trimmed().toLong());
            if (pid > 0 && ::kill(pid, 0) == 0)
                return pid;
        }
        QThread::msleep(50);
    }
    throw std::runtime_error("the test server's process is not running");
}

void signalServer(int signal)
{
    if (::kill(serverPid(), signal) != 0)
        throw std::runtime_error("cannot signal the test server");
}

// Whether every thread of `pid` has stopped: a stop signal is only queued when kill()
// returns, and a server thread already running could still answer one more statement.
bool allThreadsStopped(pid_t pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    const QStringList threads = tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        return false;
    for (const QString &thread : threads) {
        QFile stat(tasks.absoluteFilePath(thread + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;  // the thread ended
        const QByteArray line = stat.readAll();
        // "pid (name) S ...": the state follows the last closing parenthesis.
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0 || close + 2 >= line.size())
            return false;
        const char state = line.at(close + 2);
        if (state != 'T' && state != 't')
            return false;
    }
    return true;
}

} // namespace

namespace TestServer {

void stop() { runScript({QStringLiteral("stop"), dataDir()}); }

void start() { runScript({QStringLiteral("start"), dataDir(), env("XN_TEST_DB_PORT", "33061"), socketPath()}); }

void pause()
{
    const pid_t pid = serverPid();
    if (::kill(pid, SIGSTOP) != 0)
        throw std::runtime_error("cannot signal the test server");
    for (int attempt = 0; !allThreadsStopped(pid); ++attempt) {
        if (attempt == 400) {
            ::kill(pid, SIGCONT);
            throw std::runtime_error("the test server did not stop");
        }
        QThread::msleep(5);
    }
}

void resume() { signalServer(SIGCONT); }

} // namespace TestServer
