#pragma once
// Shared by the registry tests: the scratch database of the data-module fixture, emptied
// before each test, a data module opened on it with the invoice rules installed, the workspace
// window (shown only where a test wants the picks to act), and small helpers to read the
// server and drive a grid.
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "gui_test.h"
#include "invoice/testata_hooks.h"

#include <QHeaderView>
#include <QStringList>
#include <memory>

class RegistryFixture : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    ExpectedBoxes boxes;
    std::unique_ptr<TDiz> diz;
    std::unique_ptr<TElenco_Fatt> workspace;

    // Fills the tables with `setupSql` (statements separated by ";\n"), then opens the data module.
    void openWith(const QString &setupSql = {})
    {
        clearTables({"clienti", "fornitori", "magazzino", "testata", "dettaglio"});
        for (const QString &statement : setupSql.split(QStringLiteral(";\n"), Qt::SkipEmptyParts))
            db->sql().exec(statement);
        diz = std::make_unique<TDiz>();
        installTestataHooks(*diz);
        openDataModuleOn(*diz);
        workspace = std::make_unique<TElenco_Fatt>(*diz);
        Elenco_Fatt = workspace.get();
    }

    void TearDown() override { Elenco_Fatt = nullptr; }

    // The workspace is shown (the registries then pick), behind the registry window.
    void showWorkspace() { workspace->show(); }

    // One column of a result, NULL as "<NULL>".
    QStringList column(const QString &sql)
    {
        QStringList out;
        for (const DbRow &r : db->sql().select(sql).rows)
            out << (r.isNull(0) ? QStringLiteral("<NULL>") : QString::fromUtf8(r.raw(0).toByteArray()));
        return out;
    }
    QString value(const QString &sql)
    {
        const QStringList c = column(sql);
        return c.isEmpty() ? QStringLiteral("<no row>") : c.first();
    }

    // The texts that a grid column shows, top to bottom.
    static QStringList shown(DbGrid &grid, int gridColumn)
    {
        QStringList out;
        for (int r = 0; r < grid.model()->rowCount(); ++r)
            out << grid.model()->index(r, gridColumn).data().toString();
        return out;
    }

    // Double-clicks the grid line that shows `text` in `gridColumn`.
    static void doubleClickLine(DbGrid &grid, int gridColumn, const QString &text)
    {
        const QStringList lines = shown(grid, gridColumn);
        const int row = int(lines.indexOf(text));
        ASSERT_GE(row, 0) << text.toStdString();
        const QModelIndex index = grid.model()->index(row, gridColumn);
        grid.scrollTo(index);
        const QPoint at = grid.visualRect(index).center();
        // A widget's double-click comes as press, release, double-click, release.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, at);
    }
};
