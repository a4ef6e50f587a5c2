#pragma once
// The statements with which a table object stores, deletes and re-reads one of its rows.
// Every value goes through the connection's escaping; a stored row of a keyed table is
// named by its key and, on change, by the values this desk read (see whereUnchanged).
#include "data/db_field.h"
#include "data/db_row.h"

#include <QString>
#include <QVariant>
#include <vector>

class DbConnection;

class DbRowStatements {
public:
    // `fields`: the table object's fields, the first `baseCount` returned by the server;
    // `keyField`: the field that identifies a row, or -1.
    DbRowStatements(const DbConnection &connection, const QString &table, const std::vector<DbField> &fields,
                    int baseCount, int keyField)
        : m_conn(connection), m_table(table), m_fields(fields), m_baseCount(baseCount), m_key(keyField) {}

    // True when `original` (a row as read) holds the table's key.
    bool hasStoredKey(const DbRow::Cells &original) const;

    // INSERT of the non-NULL stored columns of a new row.
    QString insert(const DbRow::Cells &row) const;
    // UPDATE of the columns marked in `dirty` of the row read as `original`: by its key
    // while the changed columns hold what was read, else by every column as read. Empty
    // when no stored column changed.
    QString update(const DbRow::Cells &row, const std::vector<bool> &dirty, const DbRow::Cells &original) const;
    // DELETE of the row read as `original`: by its key while the whole row holds what was
    // read, else by every column as read.
    QString remove(const DbRow::Cells &original) const;
    // The row of `key` as stored now: from the table itself, or out of the rows `fetchSql`
    // selects when given; locked for reading inside a transaction.
    QString currentRow(const QString &fetchSql, const QVariant &key) const;

private:
    // The row by its key as read, or by every stored column as read.
    QString whereRow(const DbRow::Cells &original) const;
    // The key and the columns as read (all, or those marked in `onlyColumns`).
    QString whereUnchanged(const DbRow::Cells &original, const std::vector<bool> *onlyColumns) const;

    const DbConnection &m_conn;
    const QString &m_table;
    const std::vector<DbField> &m_fields;
    const int m_baseCount;
    const int m_key;
};
