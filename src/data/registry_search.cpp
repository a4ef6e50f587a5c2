#include "data/registry_search.h"

#include "data/db_connection.h"
#include "data/db_table.h"

namespace RegistrySearch {

QString containsPattern(const QString &typed)
{
    QString pattern;
    pattern.reserve(typed.size() + 4);
    pattern += u'%';
    for (const QChar c : typed) {
        if (c == EscapeChar)
            pattern += c;  // the escape character stands for itself only when doubled
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}

QString statement(const DbConnection &connection, const QString &table, const QString &column,
                  const QString &typed, const QStringList &orderBy)
{
    QStringList order;
    for (const QString &c : orderBy)
        order << DbConnection::quoteName(c);
    return QStringLiteral("SELECT * from %1 where %2 like %3 ESCAPE '%4' order by %5")
        .arg(DbConnection::quoteName(table), DbConnection::quoteName(column),
             connection.sqlLiteral(containsPattern(typed)), QString(QChar(EscapeChar)), order.join(QStringLiteral(", ")));
}

void run(DbTable &table, const QString &column, const QString &typed, const QStringList &orderBy)
{
    table.close();
    table.setSql(statement(table.connection(), table.tableName(), column, typed, orderBy));
    table.open();
}

} // namespace RegistrySearch
