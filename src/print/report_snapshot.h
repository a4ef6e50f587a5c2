#pragma once
// Report data taken from the table objects at one moment: the fields of the page bands from
// the current rows of the tables they name ("testata.num_doc"), the detail fields from every
// row of the line table. The preview repaints from this copy, so rows re-read meanwhile
// do not change pages already shown. Names without a table are computed texts that the
// band handlers set.
#include "print/report_data.h"

#include <QHash>
#include <QStringList>
#include <vector>

class DbTable;

namespace Report {

class ReportSnapshot : public ReportData {
public:
    // `current` maps table names to the table objects whose current row the page bands
    // read; `lines` is the line table, named `linesName` in the detail fields; `extra`
    // lists further "table.column" values the handlers read.
    ReportSnapshot(const Layout &layout, const QHash<QString, const DbTable *> &current, const QString &linesName,
                   const DbTable &lines, const QStringList &extra = {});

    int rowCount() const override { return int(m_rows.size()); }
    QString text(BandKind band, int row, const QString &name) const override;

protected:
    // A page-band value ("testata.imponibile") or a computed text.
    QString value(const QString &name) const { return m_values.value(name); }
    void setComputed(const QString &name, const QString &text) { m_values.insert(name, text); }

private:
    QHash<QString, QString> m_values;
    QHash<QString, int> m_lineColumn;  // detail field name -> index in a row
    std::vector<QStringList> m_rows;
};

} // namespace Report
