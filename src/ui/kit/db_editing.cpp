#include "ui/kit/db_editing.h"

#include "data/db_table.h"

void beginEdit(DbTable &table)
{
    if (table.isEditing())
        return;
    if (table.isOpen() && table.isEmpty())
        table.append();
    else
        table.edit();
}
