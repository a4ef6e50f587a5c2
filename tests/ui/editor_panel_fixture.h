#pragma once
// Shared set-up of the line and header editor tests: the data-module fixture (the invoice
// rules installed), a plain window hosting the panel under test
// with the line list, and helpers that store invoices and lines, type into the panels'
// controls as a user does and read back what the server holds.
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "gui_test.h"
#include "invoice/testata_hooks.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

class PanelTest : public DataModuleTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    // New headers get their defaults, as "Nuova" gives them.
    static void SetUpTestSuite() { openDataModule({.beforeOpen = installTestataHooks}); }

    ExpectedBoxes boxes;
    QWidget window;
    DbGrid *lineList = nullptr;

    void SetUp() override
    {
        for (DbTable *t : {&diz->Testata, &diz->Detta, &diz->ContrattoT, &diz->ContrattoD})
            t->cancel();
        clearTables({"testata", "dettaglio", "test_dati", "dati_acquisto", "azienda"});
        diz->Testata.refresh();
        window.resize(1280, 760);
    }

    // The line list under the panel, as the workspace has it.
    void addLineList(QLayout *layout)
    {
        lineList = new DbGrid(diz->Detta, {{QStringLiteral("prog")}, {QStringLiteral("descrizione")},
                                           {QStringLiteral("quantita")}, {QStringLiteral("prezzo_tot")},
                                           {QStringLiteral("aliquota")}, {QStringLiteral("natura")}},
                              &window);
        lineList->setReadOnly(true);
        lineList->setRowSelect(true);
        layout->addWidget(lineList);
    }

    // Stores an invoice header and makes it the current one; returns its key.
    int addInvoice(const QVariantMap &columns = {})
    {
        const QVariantMap header{{"rag_soc", "ROSSI SRL"}, {"tipo_doc", "TD01"}, {"data_doc", "05/03/2026"}, {"num_doc", "7"},
                                 {"tipo_pag", "TP02"}, {"mod_pag", "MP05"}, {"esig_iva", "I"}};
        const int id = insert(QStringLiteral("testata"), merged(header, columns));
        select(id);
        return id;
    }

    // Stores a line of the invoice as the server holds it.
    void addLine(int id, const QVariantMap &columns)
    {
        QVariantMap all = columns;
        all.insert(QStringLiteral("id_invio"), id);
        db->insert(QStringLiteral("dettaglio"), all);
        select(id);
    }

    void select(int id)
    {
        diz->Testata.refresh();
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), id));
        diz->Detta.refresh();
        diz->ContrattoT.refresh();
        diz->ContrattoD.refresh();
    }

    template <typename W = QWidget>
    W *control(const char *name)
    {
        W *w = window.findChild<W *>(QString::fromLatin1(name));
        EXPECT_TRUE(w) << "no control " << name;
        return w;
    }
    QString text(const char *name)
    {
        if (auto *combo = window.findChild<QComboBox *>(QString::fromLatin1(name)))
            return combo->currentText();
        return control<QLineEdit>(name)->text();
    }
    // Types into a control as a user does: focus, everything selected, typed over.
    void type(const char *name, const QString &typed)
    {
        QWidget *w = control(name);
        w->setFocus();
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target, Qt::Key_A, Qt::ControlModifier);
        if (typed.isEmpty())
            QTest::keyClick(target, Qt::Key_Delete);
        else
            QTest::keyClicks(target, typed);
    }
    // Types, then leaves the control with Tab.
    void enter(const char *name, const QString &typed)
    {
        type(name, typed);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    void click(const char *name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    void press(const char *navigator, DbNavigator::Button button)
    {
        QTest::mouseClick(control<DbNavigator>(navigator)->button(button), Qt::LeftButton);
    }
    // Types into a cell of a grid as a user does: the first key opens the cell editor.
    void typeInCell(const char *gridName, int row, int column, const QString &typed)
    {
        auto *grid = control<DbGrid>(gridName);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
        QTest::keyClick(grid, typed.at(0).toLatin1());
        QWidget *editor = QApplication::focusWidget();
        ASSERT_NE(editor, grid);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);  // commits (queued) and stays on the line
        QApplication::processEvents();
    }

    // One row of a statement's result as texts; "<NULL>" for a NULL value.
    QStringList row(const QString &sql, int index = 0)
    {
        const DbResult r = db->sql().select(sql);
        QStringList out;
        if (size_t(index) >= r.rows.size())
            return {QStringLiteral("<no row>")};
        for (int c = 0; c < int(r.fields.size()); ++c)
            out << (r.rows[size_t(index)].isNull(c) ? QStringLiteral("<NULL>")
                                                    : QString::fromUtf8(r.rows[size_t(index)].raw(c).toByteArray()));
        return out;
    }
    QString header(int id, const char *column)
    {
        return row(QStringLiteral("SELECT %1 FROM testata WHERE id_invio = %2").arg(QLatin1String(column)).arg(id)).value(0);
    }
};
