#pragma once
// Rows for the benchmarks: fills a table with generated rows, every column but the key
// filled to its width (text) or with a small number (integer).
#include "data/db_connection.h"

#include <QStringList>
#include <QVariantMap>
#include <functional>

inline QString filler(const DbField &f, int n)
{
    if (f.kind == DbField::Kind::Integer)
        return QString::number(n % 7);
    const QString base = QStringLiteral("%1-%2-").arg(f.name).arg(n);
    QString s = base;
    while (s.size() < f.width)
        s += QLatin1Char('x');
    return s.left(f.width);
}

// Inserts `count` rows into `table`, every column but the key filled; `fixed` overrides columns.
inline void fill(DbConnection &c, const QString &table, int count, const std::function<QVariantMap(int)> &fixed)
{
    const DbResult shape = c.select(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(table));
    QStringList cols;
    for (const DbField &f : shape.fields)
        if (!f.autoIncrement)
            cols << f.name;
    QString sql;
    for (int i = 0; i < count; ++i) {
        const QVariantMap over = fixed(i);
        QStringList vals;
        for (const DbField &f : shape.fields) {
            if (f.autoIncrement)
                continue;
            vals << c.sqlLiteral(over.contains(f.name) ? over.value(f.name) : QVariant(filler(f, i)));
        }
        sql += (sql.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('(') + vals.join(QLatin1Char(',')) + QLatin1Char(')');
        if (sql.size() > 2'000'000 || i + 1 == count) {
            c.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, cols.join(QLatin1Char(','))) + sql);
            sql.clear();
        }
    }
}
