#include "data/db_record.h"

#include "data/app_error.h"
#include "data/db_table.h"
#include "data/db_values.h"

#include <algorithm>

DbRecord::DbRecord(const DbTable &table, const DbRow *row, const DbRow::Cells *cells, DbRow::Cells &calc)
    : m_table(table), m_row(row), m_cells(cells), m_calc(calc)
{
    const auto &fields = table.fields();
    const auto firstCalculated =
        std::find_if(fields.begin(), fields.end(), [](const DbField &f) { return f.calculated; });
    m_baseCount = int(firstCalculated - fields.begin());
}

bool DbRecord::nullAt(int i) const
{
    if (i >= m_baseCount && !m_cells)
        return !m_calc[size_t(i - m_baseCount)].has_value();
    if (m_cells)
        return !(*m_cells)[size_t(i)].has_value();
    return m_row->isNull(i);
}

QByteArrayView DbRecord::rawAt(int i) const
{
    if (i >= m_baseCount && !m_cells) {
        const auto &c = m_calc[size_t(i - m_baseCount)];
        return c ? QByteArrayView(*c) : QByteArrayView();
    }
    if (m_cells) {
        const auto &c = (*m_cells)[size_t(i)];
        return c ? QByteArrayView(*c) : QByteArrayView();
    }
    return m_row->raw(i);
}

QString DbRecord::text(QAnyStringView column) const
{
    const int i = m_table.indexOfField(column);
    return DbValues::text(m_table.fields()[size_t(i)], rawAt(i), nullAt(i));
}

QVariant DbRecord::value(QAnyStringView column) const
{
    const int i = m_table.indexOfField(column);
    return DbValues::decode(m_table.fields()[size_t(i)], rawAt(i), nullAt(i));
}

bool DbRecord::isNull(QAnyStringView column) const { return nullAt(m_table.indexOfField(column)); }

void DbRecord::setCalculated(QAnyStringView column, const QVariant &v)
{
    const int i = m_table.indexOfField(column);
    const DbField &f = m_table.fields()[size_t(i)];
    if (!f.calculated)
        throw AppError(QStringLiteral("Field '%1' is not a calculated field").arg(column.toString()));
    m_calc[size_t(i - m_baseCount)] = DbValues::encode(f, v);
}
