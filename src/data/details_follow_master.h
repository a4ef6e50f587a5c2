#pragma once
// Details that follow their master not only to another row but also when the master's
// current row is found changed by a re-read, or when its re-reads work again after an
// outage: their rows are read again, so that a desk shows the lines another desk stored.
#include <QList>

class DbTable;

// `details` are re-read (each only while it has no pending row) whenever `master` reports
// currentRowReread() or refreshRecovered(). A detail that cannot be read keeps its rows;
// the next re-read tries again.
void followMasterReReads(DbTable &master, const QList<DbTable *> &details);
