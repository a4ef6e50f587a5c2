#include "data/details_follow_master.h"

#include "data/db_table.h"

void followMasterReReads(DbTable &master, const QList<DbTable *> &details)
{
    auto rereadDetails = [details] {
        for (DbTable *detail : details) {
            if (!detail->isOpen() || detail->isEditing())
                continue;
            try {
                detail->refresh();
            } catch (...) {
                // Outside any command: the master's own re-read reports a server that is gone.
            }
        }
    };
    QObject::connect(&master, &DbTable::currentRowReread, &master, rereadDetails);
    QObject::connect(&master, &DbTable::refreshRecovered, &master, rereadDetails);
}
