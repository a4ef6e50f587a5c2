#include "data/db_reread.h"

#include "data/db_connection.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <string_view>

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

namespace {

// Finds the held row of a fetched row by its key, without a copy of the keys: the held
// rows are searched in the order of their keys (their own order when that already
// ascends, as it does for tables kept in the order of an auto-increment key, else an
// order of their positions), and the row after the last one found is tried first, since
// the server usually returns the rows in the order they are held. Of several held rows
// with the same key, the last one is found.
class HeldKeys {
public:
    HeldKeys(const std::vector<DbRow> &held, int key, bool integerKey)
        : m_held(held), m_key(key), m_integer(integerKey)
    {
        const int n = int(held.size());
        bool ascending = true;
        for (int i = 1; i < n && ascending; ++i)
            ascending = compare(keyOf(i - 1), keyOf(i)) <= 0;
        if (!ascending) {
            m_order.resize(size_t(n));
            std::iota(m_order.begin(), m_order.end(), 0);
            std::sort(m_order.begin(), m_order.end(), [this](int a, int b) {
                const int c = compare(keyOf(a), keyOf(b));
                return c != 0 ? c < 0 : a < b;
            });
        }
    }

    int find(QByteArrayView key)
    {
        const int n = int(m_held.size());
        int end;  // position after the last held row whose key is not above `key`
        if (m_next < n && compare(keyAt(m_next), key) == 0 && (m_next + 1 == n || compare(keyAt(m_next + 1), key) != 0)) {
            end = m_next + 1;
        } else {
            int lo = 0, hi = n;
            while (lo < hi) {
                const int mid = lo + (hi - lo) / 2;
                if (compare(keyAt(mid), key) <= 0)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            end = lo;
            if (end == 0 || compare(keyAt(end - 1), key) != 0)
                return -1;
        }
        m_next = end;
        return indexAt(end - 1);
    }

private:
    int indexAt(int position) const { return m_order.empty() ? position : m_order[size_t(position)]; }
    QByteArrayView keyOf(int index) const { return m_held[size_t(index)].raw(m_key); }
    QByteArrayView keyAt(int position) const { return keyOf(indexAt(position)); }

    // Whole numbers compare by value (a NULL or a text that is no number as 0), other
    // keys by their bytes (a NULL as empty).
    int compare(QByteArrayView a, QByteArrayView b) const
    {
        if (m_integer) {
            const qint64 x = a.toLongLong(), y = b.toLongLong();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        const std::string_view x(a.data(), size_t(a.size())), y(b.data(), size_t(b.size()));
        return x.compare(y);
    }

    const std::vector<DbRow> &m_held;
    const int m_key;
    const bool m_integer;
    std::vector<int> m_order;  // held positions ascending by key; empty when already so
    int m_next = 0;            // position of the row expected next
};

} // namespace

void runReread(DbConnection &connection, const DbRereadRequest &req, DbRereadResult &out)
{
    out.generation = req.generation;
    const std::vector<DbRow> &held = req.held;
    const int key = req.keyField;
    std::optional<HeldKeys> heldKeys;
    if (key >= 0)
        heldKeys.emplace(held, key, req.integerKey);
    // Sized once for a table that did not grow: every step of a growing vector would stay
    // behind as free memory of the fetching thread.
    std::vector<DbRow> rows;
    std::vector<int> heldIndex;
    std::vector<char> fresh;
    rows.reserve(held.size());
    heldIndex.reserve(held.size());
    fresh.reserve(held.size());
    connection.selectEach(
        req.sql, [&](std::vector<DbField> &&f) { out.fields = std::move(f); },
        [&](unsigned n, char **values, const unsigned long *lengths) {
            int old = -1;
            if (int(n) == req.baseCount) {
                if (key >= 0) {
                    old = heldKeys->find(values[key] ? QByteArrayView(values[key], qsizetype(lengths[key]))
                                                     : QByteArrayView());
                } else if (rows.size() < held.size()) {
                    old = int(rows.size());
                }
            }
            // A row the server returns unchanged shares the storage of the row already
            // held, so that a re-read of a large table does not hold every row twice;
            // only a new or changed row is copied out of the client library's buffers.
            if (old >= 0 && held[size_t(old)].sameCells(n, values, lengths)) {
                rows.push_back(held[size_t(old)]);
                fresh.push_back(0);
            } else {
                rows.emplace_back(n, values, lengths, req.calculatedCount);
                fresh.push_back(1);
            }
            heldIndex.push_back(old);
        });
    const auto less = [&](const DbRow &a, const DbRow &b) {
        return dbRowLess(a, b, req.orderField, req.orderKind);
    };
    if (req.orderField >= 0 && req.orderField < int(out.fields.size()) && !std::is_sorted(rows.begin(), rows.end(), less)) {
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
