#pragma once
// Editing the current row on behalf of a bound control or a navigator button.
class DbTable;

// Puts the current row into editing; on a table without rows it starts a new row
// instead. Nothing happens when the row is already being edited or inserted.
void beginEdit(DbTable &table);
