#pragma once
// The service's connections to the electronic-invoice database. Server and database come
// from the settings, or from ip.ini when the settings leave them empty; the user is root
// with the application's fixed password. Each request borrows a connection of its own, so
// that requests served at the same time never share one.
#include "settings/service_settings.h"

#include <QString>
#include <memory>
#include <mutex>
#include <vector>

class DbConnection;

struct DatabaseEndpoint {
    QString host;      // "localhost" goes through the socket, when one is given
    QString database;
    int port = 3306;
    QString socket;
};

// The endpoint of the settings, completed from the ip.ini found next to the settings file or
// in the current folder. Raises AppError when no database is named anywhere.
DatabaseEndpoint databaseEndpoint(const ServiceSettings &settings, const QString &settingsFolder);

class ConnectionPool {
public:
    explicit ConnectionPool(DatabaseEndpoint endpoint);
    ~ConnectionPool();

    // A connection lent for the lifetime of the handle; it goes back to the pool afterwards
    // (dropped instead when it broke or was left inside a transaction).
    class Lease {
    public:
        Lease(ConnectionPool &pool, std::unique_ptr<DbConnection> conn);
        ~Lease();
        Lease(Lease &&) = default;
        DbConnection &operator*() const { return *m_conn; }
        DbConnection *operator->() const { return m_conn.get(); }

    private:
        ConnectionPool *m_pool;
        std::unique_ptr<DbConnection> m_conn;
    };

    // Raises DbError when the server cannot be reached.
    Lease acquire();
    const DatabaseEndpoint &endpoint() const { return m_endpoint; }

private:
    void giveBack(std::unique_ptr<DbConnection> conn);

    DatabaseEndpoint m_endpoint;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<DbConnection>> m_idle;
};
