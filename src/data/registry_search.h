#pragma once
// Search as you type on a shared table object: the table is closed (a pending row is
// dropped), its fetch statement is replaced by one that selects the rows whose column
// contains the typed text, and it is opened again. The statement stays in force for
// every screen that shows the table until the next search.
//
// The typed text never alters the statement: it travels as one escaped string literal,
// and inside the pattern only '%' and '_' keep their wildcard meaning; every other
// character (quotes and backslashes included) is searched for as itself.
#include <QString>
#include <QStringList>

class DbConnection;
class DbTable;

namespace RegistrySearch {

// The escape character of the pattern; it is written with the ESCAPE clause, so the
// meaning of a backslash does not depend on the server's SQL mode.
inline constexpr char16_t EscapeChar = u'|';

// The LIKE pattern "contains `typed`": typed between two '%', the escape character doubled.
QString containsPattern(const QString &typed);

// "SELECT * from <table> where <column> like '<pattern>' ESCAPE '|' order by <orderBy...>",
// the pattern escaped by the connection.
QString statement(const DbConnection &connection, const QString &table, const QString &column,
                  const QString &typed, const QStringList &orderBy);

// Runs the search on `table` (its own table name) by `column`, ordered by `orderBy`.
// After a failed re-open the table stays closed.
void run(DbTable &table, const QString &column, const QString &typed, const QStringList &orderBy);

} // namespace RegistrySearch
