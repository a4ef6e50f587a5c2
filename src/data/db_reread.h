#pragma once
// Fetching the rows of a table object again and matching them with the rows it holds.
// The work needs no table object, so it can run on any thread with a connection of that
// thread; the table then applies the outcome on its own thread.
#include "data/db_field.h"
#include "data/db_row.h"

#include <QString>
#include <vector>

class DbConnection;

struct DbRereadRequest {
    QString sql;
    std::vector<DbRow> held;      // the rows held now (shared storage, not copied)
    int baseCount = 0;            // cells the server returns; calculated ones follow
    unsigned calculatedCount = 0; // calculated cells appended to every fetched row
    int keyField = -1;            // column that identifies a row, or -1
    bool integerKey = false;      // ... holding whole numbers (matched without text copies)
    int orderField = -1;          // server column the rows are kept ascending by, or -1
    DbField::Kind orderKind = DbField::Kind::Text;
    quint64 generation = 0;       // the table's state the request was made from
};

struct DbRereadResult {
    quint64 generation = 0;
    bool ok = false;
    QString error;
    unsigned errorCode = 0;
    std::vector<DbField> fields;
    std::vector<DbRow> rows;      // in presentation order
    std::vector<int> heldIndex;   // per row: the held row it is (by key, else by position), or -1
    std::vector<char> fresh;      // per row: not the held row's storage (new or changed)
};

// Runs the request's statement on `connection` and matches the rows; throws on errors.
void runReread(DbConnection &connection, const DbRereadRequest &request, DbRereadResult &result);

// Presentation order of two rows by one column: NULL first, numbers by value, texts
// without regard to case (then by case).
bool dbRowLess(const DbRow &a, const DbRow &b, int column, DbField::Kind kind);
