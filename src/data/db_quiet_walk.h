#pragma once
// A walk over the rows of a shared table object that does not drag the screens: while
// the walk lasts, moving the current row tells no bound control (detail tables still
// follow it), and at its end the row that was current comes back and the controls hear
// at most one notice. Values stored meanwhile reach the controls row by row as usual.
//
//     DbQuietWalk walk(diz.Detta);
//     for (diz.Detta.first(); !diz.Detta.eof(); diz.Detta.next())
//         ...
//
// Walks nest, also on the same table. The end of a walk never throws: a row left pending
// by the walk is stored as a move would store it, and an error doing so is dropped (the
// walk's own error, if any, is the one that reaches the user).
#include "data/db_table.h"

class DbQuietWalk {
public:
    explicit DbQuietWalk(DbTable &table);
    ~DbQuietWalk();
    DbQuietWalk(const DbQuietWalk &) = delete;
    DbQuietWalk &operator=(const DbQuietWalk &) = delete;

    // Ends the walk now (returning to the row that was current); errors reach the caller.
    void finish();

private:
    DbTable &m_table;
    DbTable::Bookmark m_start;
    bool m_bof;
    bool m_eof;
    bool m_done = false;
};
