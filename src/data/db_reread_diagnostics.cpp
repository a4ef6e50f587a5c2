#include "data/db_reread_diagnostics.h"

#include <QHash>
#include <QMutex>
#include <atomic>

namespace {

struct Observer {
    std::function<void()> run;
    QMetaObject::Connection gone;  // removes the entry when its object is destroyed
};

struct Observers {
    QMutex mutex;
    QHash<const QObject *, Observer> byReceiver;
    std::atomic<int> count{0};  // lets a re-read skip the lock when nothing is observed
};

// Never destroyed: a table object may outlive the program's static objects.
Observers &observers()
{
    static Observers *o = new Observers;
    return *o;
}

void remove(Observers &o, const QObject *receiver)
{
    const auto it = o.byReceiver.find(receiver);
    if (it == o.byReceiver.end())
        return;
    QObject::disconnect(it->gone);
    o.byReceiver.erase(it);
    o.count = int(o.byReceiver.size());
}

} // namespace

namespace DbRereadDiagnostics {

void setFetchObserver(QObject &receiver, std::function<void()> observer)
{
    Observers &o = observers();
    QMutexLocker lock(&o.mutex);
    remove(o, &receiver);
    if (!observer)
        return;
    const QObject *key = &receiver;
    Observer entry;
    entry.run = std::move(observer);
    entry.gone = QObject::connect(&receiver, &QObject::destroyed, [key] {
        Observers &all = observers();
        QMutexLocker gone(&all.mutex);
        remove(all, key);
    });
    o.byReceiver.insert(key, std::move(entry));
    o.count = int(o.byReceiver.size());
}

std::function<void()> fetchObserver(const QObject *receiver)
{
    Observers &o = observers();
    if (o.count == 0)
        return {};
    QMutexLocker lock(&o.mutex);
    const auto it = o.byReceiver.constFind(receiver);
    return it == o.byReceiver.constEnd() ? std::function<void()>() : it->run;
}

} // namespace DbRereadDiagnostics
