#include "print/report_snapshot.h"

#include "data/app_error.h"
#include "data/db_table.h"

namespace Report {

namespace {

// "table.column" split in two; a name without a table gives an empty table.
std::pair<QString, QString> splitName(const QString &name)
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0)
        return {QString(), name};
    return {name.left(dot), name.mid(dot + 1)};
}

} // namespace

ReportSnapshot::ReportSnapshot(const Layout &layout, const QHash<QString, const DbTable *> &current,
                               const QString &linesName, const DbTable &lines, const QStringList &extra)
{
    QStringList names = extra;
    for (const Band *band : {&layout.pageHeader, &layout.pageFooter})
        for (const Item &item : band->items)
            if (item.kind == Item::Kind::Field)
                names << item.text;
    for (const QString &name : names) {
        const auto [table, column] = splitName(name);
        if (table.isEmpty() || m_values.contains(name))
            continue;
        const DbTable *t = current.value(table);
        if (!t)
            throw AppError(QStringLiteral("La stampa \"%1\" legge la tabella sconosciuta %2").arg(layout.name, table));
        m_values.insert(name, t->text(column));
    }

    std::vector<int> columns;
    for (const Item &item : layout.detail.items) {
        if (item.kind != Item::Kind::Field || m_lineColumn.contains(item.text))
            continue;
        const auto [table, column] = splitName(item.text);
        if (table != linesName)
            throw AppError(QStringLiteral("La stampa \"%1\" legge la tabella sconosciuta %2").arg(layout.name, table));
        m_lineColumn.insert(item.text, int(columns.size()));
        columns.push_back(lines.indexOfField(column));
    }
    m_rows.reserve(size_t(lines.rowCount()));
    const bool pendingEdit = lines.state() == DbTable::State::Edit;
    for (int r = 0; r < lines.rowCount(); ++r) {
        QStringList row;
        row.reserve(qsizetype(columns.size()));
        const bool pending = pendingEdit && r == lines.currentIndex();
        for (int c : columns)
            row << (pending ? lines.text(lines.fields()[size_t(c)].name) : lines.textAt(r, c));
        m_rows.push_back(std::move(row));
    }
}

QString ReportSnapshot::text(BandKind band, int row, const QString &name) const
{
    if (band == BandKind::Detail) {
        if (row < 0 || row >= rowCount())
            return QString();
        const int c = m_lineColumn.value(name, -1);
        return c < 0 ? QString() : m_rows[size_t(row)].at(c);
    }
    return m_values.value(name);
}

} // namespace Report
