#include "db_reread.h"

#include "db_connection.h"

#include <QHash>
#include <algorithm>
#include <numeric>

bool dbRowLess(const DbRow &a, const DbRow &b, int c, DbField::Kind kind)
{
    const bool an = a.isNull(c), bn = b.isNull(c);
    if (an || bn)
        return an && !bn;
    if (kind == DbField::Kind::Integer)
        return a.raw(c).toLongLong() < b.raw(c).toLongLong();
    if (kind == DbField::Kind::Float)
        return a.raw(c).toDouble() < b.raw(c).toDouble();
    const QString sa = QString::fromUtf8(a.raw(c)), sb = QString::fromUtf8(b.raw(c));
    const int ci = sa.compare(sb, Qt::CaseInsensitive);
    return ci != 0 ? ci < 0 : sa < sb;
}

void runReread(DbConnection &connection, const DbRereadRequest &req, DbRereadResult &out)
{
    out.generation = req.generation;
    const std::vector<DbRow> &held = req.held;
    const int key = req.keyField;
    // Whole-number keys (the usual auto-increment ones) are matched as numbers: fifty
    // thousand rows then cost no text copy of their keys.
    QHash<qint64, int> byNumber;
    QHash<QByteArray, int> byText;
    if (key >= 0) {
        if (req.integerKey) {
            byNumber.reserve(qsizetype(held.size()));
            for (int i = 0; i < int(held.size()); ++i)
                byNumber.insert(held[size_t(i)].raw(key).toLongLong(), i);
        } else {
            byText.reserve(qsizetype(held.size()));
            for (int i = 0; i < int(held.size()); ++i)
                byText.insert(held[size_t(i)].raw(key).toByteArray(), i);
        }
    }
    std::vector<DbRow> rows;
    std::vector<int> heldIndex;
    std::vector<char> fresh;
    connection.selectEach(
        req.sql, [&](std::vector<DbField> &&f) { out.fields = std::move(f); },
        [&](unsigned n, char **values, const unsigned long *lengths) {
            DbRow row(n, values, lengths, req.calculatedCount);
            int old = -1;
            if (int(n) == req.baseCount) {
                if (key >= 0) {
                    old = req.integerKey ? byNumber.value(row.raw(key).toLongLong(), -1)
                                         : byText.value(row.raw(key).toByteArray(), -1);
                } else if (rows.size() < held.size()) {
                    old = int(rows.size());
                }
            }
            // A row the server returns unchanged shares the storage of the row already
            // held, so that a re-read of a large table does not hold every row twice.
            if (old >= 0 && held[size_t(old)].sameCells(row, int(n))) {
                rows.push_back(held[size_t(old)]);
                fresh.push_back(0);
            } else {
                rows.push_back(std::move(row));
                fresh.push_back(1);
            }
            heldIndex.push_back(old);
        });
    if (req.orderField >= 0 && req.orderField < int(out.fields.size())) {
        std::vector<int> order(rows.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return dbRowLess(rows[size_t(a)], rows[size_t(b)], req.orderField, req.orderKind);
        });
        out.rows.reserve(rows.size());
        out.heldIndex.reserve(rows.size());
        out.fresh.reserve(rows.size());
        for (int i : order) {
            out.rows.push_back(std::move(rows[size_t(i)]));
            out.heldIndex.push_back(heldIndex[size_t(i)]);
            out.fresh.push_back(fresh[size_t(i)]);
        }
    } else {
        out.rows = std::move(rows);
        out.heldIndex = std::move(heldIndex);
        out.fresh = std::move(fresh);
    }
    out.ok = true;
}
