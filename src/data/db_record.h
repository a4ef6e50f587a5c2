#pragma once
// Read access to one row of a table object, and the setter of its calculated fields: what
// a table's calculated-fields hook is given.
#include "data/db_row.h"

#include <QAnyStringView>
#include <QString>
#include <QVariant>

class DbTable;

class DbRecord {
public:
    // Reads from `row`, or from `cells` where given; calculated values go to `calc` (one
    // cell per calculated field of the table).
    DbRecord(const DbTable &table, const DbRow *row, const DbRow::Cells *cells, DbRow::Cells &calc);
    QString text(QAnyStringView column) const;
    QVariant value(QAnyStringView column) const;
    bool isNull(QAnyStringView column) const;
    void setCalculated(QAnyStringView column, const QVariant &v);

private:
    bool nullAt(int i) const;
    QByteArrayView rawAt(int i) const;
    const DbTable &m_table;
    const DbRow *m_row;
    const DbRow::Cells *m_cells;
    DbRow::Cells &m_calc;
    int m_baseCount;  // fields the server returns; the calculated ones follow them
};
