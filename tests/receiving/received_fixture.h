#pragma once
// The scratch database of the data-module fixture, a scratch folder of received files,
// and helpers to put files there and to read back what a loading stored.
#include "data_module_fixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class ReceivedFixture : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    QTemporaryDir folder;

    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        clearTables({"test_car", "dett_car"});
    }

    static QString sampleFile(const QString &name)
    {
        return QStringLiteral(XN_TEST_DATA_DIR "/") + name;
    }
    static QString demoFile(const QString &name) { return TestDb::schemaFile(QStringLiteral("ricevute/") + name); }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }
    QString put(const QString &name, const QByteArray &content)
    {
        QFile f(folder.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        return name;
    }

    // Every row of a statement, one text per row: "col=value" joined by "|", NULL as "<null>".
    static QStringList dump(const QString &sql)
    {
        const DbResult r = db->sql().select(sql);
        QStringList out;
        for (const DbRow &row : r.rows) {
            QStringList cells;
            for (int i = 0; i < int(r.fields.size()); ++i)
                cells << r.fields[size_t(i)].name + QLatin1Char('=')
                             + (row.isNull(i) ? QStringLiteral("<null>") : QString::fromUtf8(row.raw(i).toByteArray()));
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    static int count(const char *table)
    {
        return db->sql().select(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).rows[0].raw(0).toInt();
    }
    // One column of the headers (in prot order) or of the lines (in prot_car, prog order).
    static QStringList headerColumn(const char *column)
    {
        return column_(QStringLiteral("SELECT %1 FROM test_car ORDER BY prot").arg(QLatin1String(column)));
    }
    static QStringList lineColumn(const char *column)
    {
        return column_(QStringLiteral("SELECT %1 FROM dett_car ORDER BY prot_car, prog").arg(QLatin1String(column)));
    }

private:
    static QStringList column_(const QString &sql)
    {
        QStringList out;
        for (const DbRow &row : db->sql().select(sql).rows)
            out << (row.isNull(0) ? QStringLiteral("<null>") : QString::fromUtf8(row.raw(0).toByteArray()));
        return out;
    }
};
