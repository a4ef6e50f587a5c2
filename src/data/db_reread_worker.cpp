#include "data/db_reread_worker.h"

#include "data/app_error.h"
#include "data/db_reread_diagnostics.h"

#include <QMetaObject>

DbRereadWorker::DbRereadWorker() : m_context(new QObject), m_connection(std::make_unique<DbConnection>())
{
    m_thread.setObjectName(QStringLiteral("re-read"));
    m_context->moveToThread(&m_thread);
    m_connection->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

DbRereadWorker::~DbRereadWorker()
{
    // A fetch under way is cut off rather than waited for: its rows would go to a table
    // that is going away (the program closing, a screen's table destroyed), and a large
    // table on a slow server would hold the close for as long as the fetch takes.
    m_connection->abortFromAnotherThread();
    m_thread.quit();
    m_thread.wait();
    m_connection.reset();
}

void DbRereadWorker::start(const DbConnectionSettings &settings, DbRereadRequest request, QObject *receiver, Done done)
{
    std::function<void()> observer = DbRereadDiagnostics::fetchObserver(receiver);
    QMetaObject::invokeMethod(
        m_context,
        [this, settings, request = std::move(request), receiver, done = std::move(done), observer = std::move(observer)] {
            fetch(settings, request, receiver, done, observer);
        },
        Qt::QueuedConnection);
}

void DbRereadWorker::fetch(const DbConnectionSettings &settings, const DbRereadRequest &request, QObject *receiver,
                           const Done &done, const std::function<void()> &observer)
{
    auto result = std::make_shared<DbRereadResult>();
    result->generation = request.generation;
    try {
        if (observer)
            observer();
        m_connection->setSettings(settings);
        m_connection->open();  // connects the first time, and again after a failure
        runReread(*m_connection, request, *result);
    } catch (const DbError &e) {
        result->ok = false;
        result->error = e.text();
        result->errorCode = e.code();
    } catch (const std::exception &e) {
        result->ok = false;
        result->error = errorText(e);
    }
    // The held rows of the request are released here, on this thread, before the
    // result goes back: the table then holds the only references again.
    QMetaObject::invokeMethod(receiver, [done, result] { done(result); }, Qt::QueuedConnection);
}
