#pragma once
// Diagnostics of the background re-reads of table objects, for tests and benchmarks: a
// function run on the fetching thread before each re-read of one table object starts.
// The program itself never sets one.
#include <QObject>
#include <functional>

namespace DbRereadDiagnostics {

// Runs `observer` on the thread that fetches each background re-read of `receiver` (a
// table object), before the fetch; an empty function removes it. It goes with the object.
void setFetchObserver(QObject &receiver, std::function<void()> observer);

// The observer of `receiver`, or an empty function.
std::function<void()> fetchObserver(const QObject *receiver);

} // namespace DbRereadDiagnostics
