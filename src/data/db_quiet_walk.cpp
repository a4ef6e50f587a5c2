#include "data/db_quiet_walk.h"

DbQuietWalk::DbQuietWalk(DbTable &table)
    : m_table(table), m_start(table.bookmark()), m_bof(table.bof()), m_eof(table.eof())
{
    m_table.holdNotifications();
}

DbQuietWalk::~DbQuietWalk()
{
    try {
        finish();
    } catch (...) {
        // See the header: the end of a walk never throws.
    }
}

void DbQuietWalk::finish()
{
    if (m_done)
        return;
    m_done = true;
    m_table.releaseNotifications(m_start, m_bof, m_eof);
}
