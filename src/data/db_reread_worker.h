#pragma once
// The thread on which a table object's periodic re-reads fetch, with a connection of its
// own (the same server, database and account as the table's connection), so that the
// user-interface thread only applies what changed.
#include "data/db_connection.h"
#include "data/db_reread.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

class DbRereadWorker : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(std::shared_ptr<DbRereadResult>)>;

    DbRereadWorker();
    // Cuts a fetch under way off (its result is not delivered), then stops the thread.
    ~DbRereadWorker() override;

    // Fetches on the worker's thread; `done` is called on `receiver`'s thread (not at all
    // once `receiver` is gone). An observer of `receiver` (see DbRereadDiagnostics) runs
    // on the fetching thread first.
    void start(const DbConnectionSettings &settings, DbRereadRequest request, QObject *receiver, Done done);

private:
    void fetch(const DbConnectionSettings &settings, const DbRereadRequest &request, QObject *receiver,
               const Done &done, const std::function<void()> &observer);

    QThread m_thread;
    QObject *m_context;                          // lives on m_thread
    std::unique_ptr<DbConnection> m_connection;  // used on m_thread only (aborted from the owner's)
};
