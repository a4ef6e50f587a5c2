#pragma once
// What a re-read changed in the rows a table object holds: which held rows are gone, where
// the current row stands now, and whether the bound controls are better told of every row
// anew than row by row.
#include "data/db_reread.h"

#include <QVariant>
#include <vector>

struct DbRereadDifference {
    bool reset = false;           // one notice for every row instead of row-by-row notices
    std::vector<char> kept;       // per held row: still among the re-read rows
    int current = -1;             // the current row among the re-read rows, or -1
    bool keptCurrent = false;     // the row that was current is still there
    bool currentChanged = false;  // ... with values changed on the server
    bool currentGone = false;     // the current row of a keyed table is gone from the server
};

// Compares the re-read rows of `result` (in the order they will be held) with the
// `heldCount` rows held now, of which `heldCurrent` is current (-1: none). `keyField`:
// the field that identifies a row (-1: rows are matched by position); `currentKey`: the
// current row's key value. `reordered`: the rows were put in an order of the program's
// own (a calculated field), so they cannot be told apart row by row.
DbRereadDifference dbRereadDifference(const DbRereadResult &result, int heldCount, int heldCurrent, int keyField,
                                      const QVariant &currentKey, bool reordered);
