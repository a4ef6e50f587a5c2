#include "data/db_notices.h"

#include "data/db_table.h"

void DbNotices::currentMoved()
{
    if (m_depth > 0) {
        m_heldCurrent = true;
    } else {
        m_shownCurrent = m_table.currentIndex();
        emit m_table.currentRowChanged();
    }
    emit m_table.linkValuesMayHaveChanged();
}

void DbNotices::reset()
{
    if (m_depth > 0)
        m_heldReset = true;
    else
        emit m_table.rowsReset();
}

void DbNotices::hold()
{
    if (m_depth++ == 0) {
        m_heldCurrent = false;
        m_heldReset = false;
        m_shownCurrent = m_table.currentIndex();
    }
}

void DbNotices::release()
{
    if (--m_depth > 0)
        return;
    try {
        sendHeld();
    } catch (...) {
        // A receiver that throws must not end the program from the end of a walk.
    }
}

void DbNotices::sendHeld()
{
    if (m_heldReset) {
        m_heldReset = false;
        m_heldCurrent = false;
        emit m_table.rowsReset();
        m_shownCurrent = m_table.currentIndex();
        emit m_table.currentRowChanged();
    } else if (m_heldCurrent) {
        m_heldCurrent = false;
        if (m_table.currentIndex() != m_shownCurrent) {
            m_shownCurrent = m_table.currentIndex();
            emit m_table.currentRowChanged();
        }
    }
}
