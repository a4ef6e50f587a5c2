#pragma once
// What the benchmarks share: the environment they run in, a data module connected to a
// scratch database, rows inserted in bulk, and the figures they take (times, medians
// and percentiles, the memory of the process).
#include "data/db_connection.h"
#include "data/diz.h"
#include "test_db.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QVariantMap>
#include <algorithm>
#include <functional>
#include <vector>

namespace Bench {

// The offscreen platform, the schema folder and the test server's socket, each unless
// already set; call before the application object is made.
inline void useDefaultEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XN_SCHEMA_DIR"))
        qputenv("XN_SCHEMA_DIR", XN_DEFAULT_SCHEMA_DIR);
    if (qEnvironmentVariableIsEmpty("XN_TEST_DB_SOCKET"))
        qputenv("XN_TEST_DB_SOCKET", XN_DEFAULT_TEST_SOCKET);
}

// Connects the data module to the scratch database on the test server; the tables are
// left for the caller to open (and time).
inline void connectDataModule(TDiz &diz, ScratchDatabase &db)
{
    TestDb::useTestServer();
    diz.xml_conn.setDatabase(db.name());
    diz.xml_conn.open();
}

// Inserts `count` rows built by `row` (column -> value, the same columns for every row)
// in large multi-row statements; the other columns keep their defaults.
inline void insertRows(DbConnection &c, const QString &table, int count, const std::function<QVariantMap(int)> &row)
{
    QStringList cols;
    QString sql;
    for (int i = 0; i < count; ++i) {
        const QVariantMap values = row(i);
        if (cols.isEmpty())
            cols = values.keys();
        QStringList vals;
        for (const QString &col : cols)
            vals << c.sqlLiteral(values.value(col));
        sql += (sql.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('(') + vals.join(u',') + QLatin1Char(')');
        if (sql.size() > 2'000'000 || i + 1 == count) {
            c.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, cols.join(u',')) + sql);
            sql.clear();
        }
    }
}

inline double msSince(const QElapsedTimer &t) { return t.nsecsElapsed() / 1e6; }

// The value below which `p` per cent of the samples lie (the largest for 100); 0 without samples.
inline double percentile(std::vector<double> v, int p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, v.size() * size_t(p) / 100)];
}

inline double median(std::vector<double> v) { return percentile(std::move(v), 50); }

// A figure of /proc/self/status in kB ("VmRSS:" now, "VmHWM:" the peak); -1 when unknown.
inline long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

inline long peakRssKb() { return statusKb("VmHWM:"); }

// Starts a new peak: the kernel sets the peak resident size back to the current one.
inline void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace Bench
