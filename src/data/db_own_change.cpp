#include "data/db_own_change.h"

DbOwnChange::DbOwnChange(DbTable &table) : m_table(table), m_before(table.pendingSnapshot()) {}

DbOwnChange::~DbOwnChange()
{
    if (m_kept)
        return;
    try {
        undo();
    } catch (...) {
        // Dropping a pending row reaches no server; a detail that cannot follow its
        // master has already told the command that failed.
    }
}

void DbOwnChange::post()
{
    m_table.post();
    m_kept = true;
}

void DbOwnChange::undo()
{
    m_kept = true;
    if (!m_table.isEditing())
        return;  // stored, or nothing started: nothing pending to undo
    m_table.restorePending(m_before);
}
