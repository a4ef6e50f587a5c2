#pragma once
// A command's own change to the current row of a shared table object, undone when the
// command fails before storing it: a failed command leaves no pending change behind that
// it made itself, and a row the user was editing stays as the user left it.
//
//     DbOwnChange change(diz.Testata);
//     diz.Testata.edit();
//     diz.Testata.setText(col::testata::nome_file, name);
//     change.post();          // stores; an error leaves the row as it was before edit()
//
// Leaving the scope without post() or keep() undoes the change (without throwing):
// the pending row the command started is dropped; a pending row that was already there
// gets back the values it had when the guard was made.
#include "data/db_table.h"

class DbOwnChange {
public:
    explicit DbOwnChange(DbTable &table);
    ~DbOwnChange();
    DbOwnChange(const DbOwnChange &) = delete;
    DbOwnChange &operator=(const DbOwnChange &) = delete;

    // Stores the pending row; once it is stored there is nothing left to undo.
    void post();
    // The change stays as it is (stored or pending) when the scope ends.
    void keep() { m_kept = true; }
    // Undoes the change now.
    void undo();

private:
    DbTable &m_table;
    DbTable::PendingSnapshot m_before;
    bool m_kept = false;
};
