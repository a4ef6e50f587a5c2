#pragma once
// The row a table object is editing or inserting, held beside its stored rows until it is
// stored or dropped.
#include "data/db_row.h"

#include <vector>

struct DbPendingRow {
    DbRow::Cells cells;        // the values as set
    DbRow::Cells original;     // an edited stored row as read (empty for a new row)
    std::vector<bool> dirty;   // per field: set since editing began
    bool modified = false;     // something set counts as a change (a new row's defaults do not)
    int beforeInsert = -1;     // the current row when a new row was begun
};
