#pragma once
// The notices a table object sends about its current row and its rows as a whole, held
// back while quiet walks are under way (see DbQuietWalk): moving the current row then
// tells no bound control, and when the last walk ends the controls hear at most one
// reset and one move.
class DbTable;

class DbNotices {
public:
    explicit DbNotices(DbTable &table) : m_table(table) {}

    // Another row is current: currentRowChanged (held back during a walk), and always
    // linkValuesMayHaveChanged, which detail tables follow.
    void currentMoved();
    // Every row may differ: rowsReset (held back during a walk).
    void reset();
    // A reset is held back: notices of single rows would only repeat it.
    bool resetHeld() const { return m_depth > 0 && m_heldReset; }

    void hold();
    // Ends one hold; the last sends what was held back. Never throws.
    void release();

private:
    void sendHeld();

    DbTable &m_table;
    int m_depth = 0;           // walks under way
    bool m_heldCurrent = false;
    bool m_heldReset = false;
    int m_shownCurrent = -1;   // the current row the screens last heard of
};
