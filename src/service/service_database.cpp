#include "service/service_database.h"

#include "data/app_error.h"
#include "data/db_connection.h"
#include "data/diz.h"
#include "data/ip_ini.h"

#include <QDir>

namespace {

// The first two lines of the ip.ini in `dir`, read as the application reads them: server (15
// characters used) and database (10 used). False when there is none, or it cannot be read.
bool readIpIniIn(const QString &dir, QString *server, QString *database)
{
    std::optional<IpIni> ini;
    try {
        ini = readIpIni(QDir(dir).filePath(QStringLiteral("ip.ini")));
    } catch (const AppError &) {
        return false;
    }
    if (!ini)
        return false;
    *server = ini->server.left(IpIni::ServerLength);
    *database = ini->database.left(IpIni::DatabaseLength);
    return true;
}

constexpr int ConnectTimeoutSeconds = 3;
constexpr int StatementTimeoutSeconds = 10;

// Every connection of the service, each time it connects: a value that does not fit its
// column is refused rather than cut or changed, and a row lock is waited for only briefly.
// Called as the connection opens (no exception may leave it): a setting that fails leaves
// the connection broken, and the next statement connects and sets it up again.
void setUpSession(DbConnection &conn) noexcept
{
    try {
        conn.exec(QStringLiteral("SET SESSION sql_mode = 'STRICT_ALL_TABLES,ERROR_FOR_DIVISION_BY_ZERO,NO_ZERO_DATE,"
                                 "NO_ZERO_IN_DATE,NO_ENGINE_SUBSTITUTION', SESSION innodb_lock_wait_timeout = %1")
                      .arg(StatementTimeoutSeconds));
    } catch (const std::exception &) {
    }
}

} // namespace

DatabaseEndpoint databaseEndpoint(const ServiceSettings &settings, const QString &settingsFolder)
{
    DatabaseEndpoint e;
    e.host = settings.dbHost;
    e.database = settings.dbName;
    if (e.host.isEmpty() || e.database.isEmpty()) {
        QString server, database;
        for (const QString &dir : {settingsFolder, QDir::currentPath()}) {
            if (readIpIniIn(dir, &server, &database))
                break;
        }
        if (e.host.isEmpty())
            e.host = server;
        if (e.database.isEmpty())
            e.database = database;
    }
    if (e.host.isEmpty())
        e.host = settings.dbSocket.isEmpty() ? QStringLiteral("127.0.0.1") : QStringLiteral("localhost");
    if (e.database.isEmpty())
        throw AppError(QStringLiteral("nessun database indicato: manca db_name nelle impostazioni e non c'è ip.ini"));
    if (settings.dbPort > 0)
        e.port = settings.dbPort;
    e.socket = settings.dbSocket;
    return e;
}

ConnectionPool::ConnectionPool(DatabaseEndpoint endpoint) : m_endpoint(std::move(endpoint))
{
    if (!m_endpoint.socket.isEmpty())
        DbConnection::setEndpointOverride(m_endpoint.port, m_endpoint.socket);
}

ConnectionPool::~ConnectionPool() = default;

ConnectionPool::Lease::Lease(ConnectionPool &pool, std::unique_ptr<DbConnection> conn) : m_pool(&pool), m_conn(std::move(conn)) {}

ConnectionPool::Lease::~Lease()
{
    if (m_conn)
        m_pool->giveBack(std::move(m_conn));
}

ConnectionPool::Lease ConnectionPool::acquire()
{
    std::unique_ptr<DbConnection> conn;
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            conn = std::move(m_idle.back());
            m_idle.pop_back();
        }
    }
    if (!conn) {
        conn = std::make_unique<DbConnection>();
        conn->setHost(m_endpoint.host);
        conn->setDatabase(m_endpoint.database);
        conn->setPort(m_endpoint.port);
        conn->setUser(QStringLiteral("root"));
        conn->setPassword(QString::fromLatin1(TDiz::StoredPassword));
        // A server that does not answer fails the request soon, freeing its worker.
        conn->setConnectTimeout(ConnectTimeoutSeconds);
        conn->setReadTimeout(StatementTimeoutSeconds);
        conn->setWriteTimeout(StatementTimeoutSeconds);
        DbConnection *c = conn.get();
        QObject::connect(c, &DbConnection::opened, c, [c] { setUpSession(*c); }, Qt::DirectConnection);
    }
    conn->open();  // reconnects a connection that went away while idle
    return Lease(*this, std::move(conn));
}

void ConnectionPool::giveBack(std::unique_ptr<DbConnection> conn)
{
    if (conn->isBroken() || conn->inTransaction())
        return;
    std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(conn));
}
