#include "data/db_reread_difference.h"

#include <algorithm>

namespace {

// A re-read that changes more rows than this tells the controls to show every row anew:
// one reset is cheaper than thousands of single-row notices.
constexpr int MaxRowNotices = 500;

int rowOfKey(const std::vector<DbRow> &rows, int keyField, const QVariant &key)
{
    if (keyField < 0 || !key.isValid())
        return -1;
    const QByteArray wanted = key.toString().toUtf8();
    for (int i = 0; i < int(rows.size()); ++i)
        if (!rows[size_t(i)].isNull(keyField) && rows[size_t(i)].raw(keyField) == wanted)
            return i;
    return -1;
}

} // namespace

DbRereadDifference dbRereadDifference(const DbRereadResult &r, int heldCount, int heldCurrent, int keyField,
                                      const QVariant &currentKey, bool reordered)
{
    DbRereadDifference d;
    const bool keyed = keyField >= 0;
    const int newCount = int(r.rows.size());

    // What became of the held rows: removed, inserted, changed; reordered rows (or a
    // keyless table whose rows shifted) make one reset.
    d.kept.assign(size_t(heldCount), 0);
    d.reset = reordered;
    int lastHeld = -1;
    int notices = 0;
    for (int i = 0; i < newCount && !d.reset; ++i) {
        const int h = r.heldIndex[size_t(i)];
        if (h < 0) {
            ++notices;
            continue;
        }
        if (h <= lastHeld || h >= heldCount) {
            d.reset = true;
            break;
        }
        lastHeld = h;
        d.kept[size_t(h)] = 1;
        if (r.fresh[size_t(i)])
            ++notices;
    }
    if (!keyed && !d.reset) {
        // Without a key, rows are matched by position: only changes in place and rows
        // added at the end are told apart.
        for (int i = 0; i < std::min(heldCount, newCount); ++i)
            if (r.heldIndex[size_t(i)] != i)
                d.reset = true;
        if (newCount < heldCount)
            d.reset = true;
    }
    notices += heldCount - int(std::count(d.kept.begin(), d.kept.end(), 1));
    if (notices > MaxRowNotices)
        d.reset = true;

    // The current row stays the one it was, wherever it now stands.
    if (heldCurrent >= 0) {
        if (keyed) {
            for (int i = 0; i < newCount; ++i)
                if (r.heldIndex[size_t(i)] == heldCurrent) {
                    d.current = i;
                    break;
                }
            if (d.current < 0 && currentKey.isValid())
                d.current = rowOfKey(r.rows, keyField, currentKey);
        } else if (heldCurrent < newCount) {
            d.current = heldCurrent;
        }
        if (d.current < 0 && newCount > 0)
            d.current = std::min(heldCurrent, newCount - 1);
    } else if (newCount > 0) {
        d.current = 0;
    }

    // What became of the row that was current: changed on the server, or gone from it.
    d.keptCurrent = heldCurrent >= 0 && d.current >= 0
        && (keyed ? r.heldIndex[size_t(d.current)] == heldCurrent : d.current == heldCurrent);
    d.currentChanged = d.keptCurrent && r.fresh[size_t(d.current)];
    d.currentGone = keyed && heldCurrent >= 0 && !d.keptCurrent;
    return d;
}
