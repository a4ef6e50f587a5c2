// The data-aware controls (bound edit box, drop-down, check box, masked date field,
// grid, navigator) and the Enter-as-Tab behaviour, on the data module's shared table
// objects against the test server.
#include "data/app_error.h"
#include "ui/kit/bound_form.h"
#include "ui/kit/db_amount_edit.h"
#include "invoice/calcola_totali.h"
#include "ui/kit/db_check_box.h"
#include "ui/kit/db_combo_box.h"
#include "ui/kit/db_date_edit.h"
#include "ui/kit/db_edit.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "ui/kit/enter_as_tab.h"
#include "data_module_fixture.h"
#include "gui_test.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace {

using B = DbNavigator::Button;

class DataControls : public DataModuleTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;
    ExpectedBoxes boxes;
    QWidget window;
    QVBoxLayout *layout = new QVBoxLayout(&window);

    void SetUp() override
    {
        for (DbTable *t : {&diz->Clienti, &diz->Testata}) {
            t->cancel();
            db->sql().exec(QStringLiteral("DELETE FROM ") + t->tableName());
            t->refresh();
        }
    }

    template <typename W>
    W *add(W *w)
    {
        layout->addWidget(w);
        return w;
    }

    // Three invoice headers: (num_doc, tipo_pag, inviata, scad1).
    void addInvoices()
    {
        db->sql().exec(QStringLiteral(
            "INSERT INTO testata (num_doc, tipo_pag, inviata, scad1, n_rate) VALUES "
            "('1', 'TP01', 0, '05/03/26', 2), ('2', 'TP02', 1, NULL, NULL), ('3', NULL, NULL, '31/12/26', 1)"));
        diz->Testata.refresh();
    }
};

TEST_F(DataControls, ShowingRowsInEveryKindOfControlNeverCountsAsAnEdit)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *num = add(new DbEdit(t, QStringLiteral("num_doc")));
    auto *pag = add(new DbComboBox(t, QStringLiteral("tipo_pag"), {QStringLiteral("TP01"), QStringLiteral("TP02")}));
    auto *sent = add(new DbCheckBox(t, QStringLiteral("inviata"), QStringLiteral("Inviata")));
    auto *due = add(new DbDateEdit(t, QStringLiteral("scad1")));
    auto *rates = add(new DbEdit(t, QStringLiteral("n_rate")));
    auto *grid = add(new DbGrid(t, {{QStringLiteral("num_doc")}, {QStringLiteral("tipo_pag")}}));
    auto *nav = add(new DbNavigator(t, DbNavigator::allButtons()));
    showActive(window);
    num->setFocus();

    struct Row {
        const char *num, *pag;
        bool sent;
        const char *due, *rates;
    };
    const Row rows[] = {{"1", "TP01", false, "05/03/26", "2"}, {"2", "TP02", true, "  /  /  ", ""}, {"3", "", false, "31/12/26", "1"}};
    const std::pair<B, int> walk[] = {{B::Next, 1}, {B::Next, 2}, {B::Prior, 1}, {B::First, 0}, {B::Last, 2}};
    for (const auto &[button, row] : walk) {
        QTest::mouseClick(nav->button(button), Qt::LeftButton);
        const Row &r = rows[row];
        EXPECT_EQ(num->text(), QString::fromLatin1(r.num));
        EXPECT_EQ(pag->currentText(), QString::fromLatin1(r.pag));
        EXPECT_EQ(sent->isChecked(), r.sent);
        EXPECT_EQ(due->maskedText(), QString::fromLatin1(r.due));
        EXPECT_EQ(rates->text(), QString::fromLatin1(r.rates));
        EXPECT_EQ(grid->currentIndex().row(), row);
        EXPECT_EQ(t.state(), DbTable::State::Browse) << "row " << row;
        EXPECT_FALSE(t.isModified());
    }
}

TEST_F(DataControls, TypingEditsThePendingRowAtOnceUpToTheColumnWidthInTheBoxCase)
{
    struct Case {
        DbEdit::CharCase charCase;
        const char *typed, *stored;
    };
    const Case cases[] = {{DbEdit::CharCase::Upper, "alfa srl", "ALFA SRL"},
                          {DbEdit::CharCase::Lower, "Info@Alfa.IT", "info@alfa.it"},
                          {DbEdit::CharCase::AsTyped, "Alfa Srl", "Alfa Srl"}};
    DbTable &t = diz->Clienti;
    db->sql().exec(QStringLiteral("INSERT INTO clienti (rag_soc, cod_dest) VALUES ('OLD', 'XYZ')"));
    t.refresh();
    auto *edit = add(new DbEdit(t, QStringLiteral("rag_soc")));
    auto *code = add(new DbEdit(t, QStringLiteral("cod_dest")));
    showActive(window);
    for (const Case &c : cases) {
        edit->setCharCase(c.charCase);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(edit->text(), QString::fromLatin1(c.stored));
        EXPECT_EQ(t.state(), DbTable::State::Edit);
        EXPECT_EQ(t.text(QStringLiteral("rag_soc")), QString::fromLatin1(c.stored));
        t.post();
        EXPECT_EQ(stored(QStringLiteral("SELECT rag_soc FROM clienti")), QString::fromLatin1(c.stored));
    }
    // cod_dest holds 7 characters: the eighth is refused.
    code->setFocus();
    code->selectAll();
    QTest::keyClicks(code, QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(code->text(), QStringLiteral("ABCDEFG"));
    EXPECT_EQ(t.text(QStringLiteral("cod_dest")), QStringLiteral("ABCDEFG"));
    t.cancel();
    EXPECT_EQ(code->text(), QStringLiteral("XYZ"));
}

TEST_F(DataControls, AnIntegerBoxTakesOnlyDigitsAndStoresNullWhenEmptied)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *rates = add(new DbEdit(t, QStringLiteral("n_rate")));
    showActive(window);
    rates->setFocus();
    rates->selectAll();
    QTest::keyClicks(rates, QStringLiteral("1a2"));
    EXPECT_EQ(rates->text(), QStringLiteral("12"));
    EXPECT_EQ(t.value(QStringLiteral("n_rate")).toInt(), 12);
    rates->selectAll();
    QTest::keyClick(rates, Qt::Key_Delete);
    EXPECT_TRUE(t.isNull(QStringLiteral("n_rate")));
    t.post();
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE num_doc = '1' AND n_rate IS NULL")), 1);
}

TEST_F(DataControls, TheDropDownTakesTypedTextAndChosenItemsAndTheCheckBoxWritesOneAndZero)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *pag = add(new DbComboBox(t, QStringLiteral("tipo_pag"), {QStringLiteral("TP01"), QStringLiteral("TP02")}));
    auto *sent = add(new DbCheckBox(t, QStringLiteral("inviata"), QStringLiteral("Inviata")));
    showActive(window);

    pag->setFocus();
    pag->lineEdit()->selectAll();
    QTest::keyClicks(pag, QStringLiteral("XY"));
    EXPECT_EQ(t.text(QStringLiteral("tipo_pag")), QStringLiteral("XY"));
    QTest::keyClick(pag, Qt::Key_Down);  // chooses an item of the list
    EXPECT_EQ(t.text(QStringLiteral("tipo_pag")), pag->currentText());
    EXPECT_TRUE(pag->findText(pag->currentText()) >= 0);
    t.post();
    EXPECT_EQ(stored(QStringLiteral("SELECT tipo_pag FROM testata WHERE num_doc = '1'")), pag->currentText());

    QTest::mouseClick(sent, Qt::LeftButton);
    EXPECT_EQ(t.value(QStringLiteral("inviata")).toInt(), 1);
    t.post();
    EXPECT_EQ(count(QStringLiteral("SELECT inviata FROM testata WHERE num_doc = '1'")), 1);
    QTest::mouseClick(sent, Qt::LeftButton);
    t.post();
    EXPECT_EQ(count(QStringLiteral("SELECT inviata FROM testata WHERE num_doc = '1'")), 0);
}

TEST_F(DataControls, TheMaskedDateStoresACompleteDateAndRefusesAHalfTypedOne)
{
    addInvoices();
    DbTable &t = diz->Testata;
    diz->Testata.moveTo(1);  // no due date yet
    auto *due = add(new DbDateEdit(t, QStringLiteral("scad1")));
    auto *other = add(new QLineEdit);
    showActive(window);
    EXPECT_EQ(due->maskedText(), QStringLiteral("  /  /  "));
    EXPECT_EQ(due->displayText(), QStringLiteral("__/__/__"));

    due->setFocus();
    due->setCursorPosition(0);
    QTest::keyClicks(due, QStringLiteral("0904"));  // the year is missing
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    EXPECT_TRUE(t.isNull(QStringLiteral("scad1")));
    boxes.expectError(DbDateEdit::invalidInputMessage());
    other->setFocus();
    QTest::qWait(20);
    EXPECT_TRUE(due->hasFocus());
    QTest::keyClick(due, Qt::Key_Escape);
    EXPECT_EQ(due->maskedText(), QStringLiteral("  /  /  "));

    due->setCursorPosition(0);
    QTest::keyClicks(due, QStringLiteral("090426"));
    EXPECT_EQ(t.text(QStringLiteral("scad1")), QStringLiteral("09/04/26"));
    t.post();
    EXPECT_EQ(stored(QStringLiteral("SELECT scad1 FROM testata WHERE num_doc = '2'")), QStringLiteral("09/04/26"));
}

TEST_F(DataControls, NavigatorShowsItsButtonsInOrderEnabledAsTheTableAllows)
{
    DbTable &t = diz->Clienti;
    auto *nav = add(new DbNavigator(t, {B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}));
    EXPECT_EQ(nav->button(B::First), nullptr);
    QList<QString> names;
    for (QToolButton *b : nav->findChildren<QToolButton *>())
        names << b->objectName();
    EXPECT_EQ(names, (QList<QString>{QStringLiteral("Delete"), QStringLiteral("Edit"), QStringLiteral("Post"),
                                     QStringLiteral("Cancel"), QStringLiteral("Refresh")}));
    auto enabled = [&] {
        QString s;
        for (B b : nav->buttons())
            s += nav->button(b)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    EXPECT_EQ(enabled(), QStringLiteral("01001"));  // empty, browsing: nothing to delete
    // Edit on an empty table starts a new row.
    nav->click(B::Edit);
    EXPECT_EQ(t.state(), DbTable::State::Insert);
    EXPECT_EQ(enabled(), QStringLiteral("10111"));
    t.setText(QStringLiteral("rag_soc"), QStringLiteral("ROSSI"));
    nav->click(B::Post);
    EXPECT_EQ(enabled(), QStringLiteral("11001"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti WHERE rag_soc = 'ROSSI'")), 1);
    t.close();
    EXPECT_EQ(enabled(), QStringLiteral("00000"));
    t.open();
}

TEST_F(DataControls, DeleteAsksFirstAndOnlyOkDeletes)
{
    DbTable &t = diz->Clienti;
    db->sql().exec(QStringLiteral("INSERT INTO clienti (rag_soc) VALUES ('A'), ('B')"));
    t.refresh();
    auto *nav = add(new DbNavigator(t, DbNavigator::allButtons()));
    auto *grid = add(new DbGrid(t, {{QStringLiteral("rag_soc")}}));
    showActive(window);

    boxes.expectOkCancel(QStringLiteral("Delete record?"), false);
    QTest::mouseClick(nav->button(B::Delete), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 2);

    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    QTest::mouseClick(nav->button(B::Delete), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 1);
    EXPECT_EQ(t.text(QStringLiteral("rag_soc")), QStringLiteral("B"));

    // The grid asks the same on Ctrl+Delete.
    grid->setFocus();
    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
    EXPECT_EQ(grid->model()->rowCount(), 0);
}

TEST_F(DataControls, ASaveRefusedByTheServerShowsItsTextAndTheRowStaysInEditing)
{
    DbTable &t = diz->Clienti;
    db->sql().exec(QStringLiteral("INSERT INTO clienti (rag_soc) VALUES ('A')"));
    db->sql().exec(QStringLiteral("ALTER TABLE clienti ADD CONSTRAINT no_x CHECK (comune <> 'X')"));
    t.refresh();
    auto *nav = add(new DbNavigator(t, {B::Post, B::Cancel}));
    t.setText(QStringLiteral("comune"), QStringLiteral("X"));
    boxes.expectError();
    nav->click(B::Post);
    db->sql().exec(QStringLiteral("ALTER TABLE clienti DROP CONSTRAINT no_x"));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown().at(0).text.contains(QStringLiteral("no_x"))) << boxes.shown().at(0).text.toStdString();
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    EXPECT_EQ(t.text(QStringLiteral("comune")), QStringLiteral("X"));
    nav->click(B::Cancel);
}

TEST_F(DataControls, DropDownsAndGridCellsTakeAtMostTheirColumnsCharacters)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *pag = add(new DbComboBox(t, QStringLiteral("tipo_pag"), {QStringLiteral("TP01"), QStringLiteral("TP02")}));
    auto *grid = add(new DbGrid(t, {{QStringLiteral("tipo_pag"), QString(), Qt::AlignLeft, {QStringLiteral("TP01")}},
                                    {QStringLiteral("num_doc")},
                                    {QStringLiteral("n_rate")}}));
    showActive(window);

    // tipo_pag holds 4 characters, num_doc 10; a number has no limit of characters.
    pag->setFocus();
    pag->lineEdit()->selectAll();
    QTest::keyClicks(pag, QStringLiteral("TP02XYZ"));
    EXPECT_EQ(t.text(QStringLiteral("tipo_pag")), QStringLiteral("TP02"));
    t.cancel();

    struct Cell {
        int column;
        int maxLength;
    };
    for (const Cell c : {Cell{0, 4}, Cell{1, 10}, Cell{2, 32767}}) {
        const QModelIndex cell = grid->model()->index(0, c.column);
        grid->setFocus();
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QWidget *editor = QApplication::focusWidget();
        auto *combo = qobject_cast<QComboBox *>(editor);
        auto *line = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(editor);
        ASSERT_NE(line, nullptr) << c.column;
        EXPECT_EQ(line->maxLength(), c.maxLength) << c.column;
        QTest::keyClick(line, Qt::Key_Escape);
    }
}

TEST_F(DataControls, GridShowsColumnsAsDeclaredAndEditsInPlace)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *grid = add(new DbGrid(t, {{QStringLiteral("id_invio"), QStringLiteral("Id. Invio"), Qt::AlignLeft, {}, true},
                                    {QStringLiteral("tipo_pag"), QStringLiteral("Tipo Pag."), Qt::AlignHCenter,
                                     {QStringLiteral("TP01"), QStringLiteral("TP02")}},
                                    {QStringLiteral("num_doc"), QStringLiteral("N. Doc"), Qt::AlignRight},
                                    {QStringLiteral("indirizzo")}}));
    showActive(window);
    QAbstractItemModel *m = grid->model();
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Id. Invio"));
    EXPECT_EQ(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("indirizzo"));
    EXPECT_EQ(m->rowCount(), 3);
    EXPECT_EQ(m->index(1, 2).data().toString(), QStringLiteral("2"));
    EXPECT_TRUE(m->index(0, 2).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(0, 2)) & Qt::ItemIsEditable);

    // Typing into a cell of the second line moves the table there and edits it.
    grid->setFocus();
    grid->setCurrentIndex(m->index(1, 2));
    EXPECT_EQ(t.currentIndex(), 1);
    QTest::keyClicks(grid, QStringLiteral("7"));
    QWidget *editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit *>(editor));
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    EXPECT_EQ(t.text(QStringLiteral("num_doc")), QStringLiteral("7"));
    EXPECT_EQ(m->index(1, 2).data().toString(), QStringLiteral("7"));
    // Choosing another line stores the changed row.
    grid->setCurrentIndex(m->index(0, 2));
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    EXPECT_EQ(t.currentIndex(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE num_doc = '7'")), 1);

    // A column with a pick list is edited in a drop-down that offers it.
    grid->setCurrentIndex(m->index(0, 1));
    grid->edit(m->index(0, 1));
    auto *combo = grid->findChild<QComboBox *>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("TP02"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("TP01"));
    // Leaving the editor unchanged writes nothing.
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    EXPECT_FALSE(t.isModified());
}

// A value typed or picked in a cell and then stored with the navigator's post button,
// without leaving the cell first (the button never takes the focus), is what gets stored.
TEST_F(DataControls, PostTakesWhatAnOpenCellEditorShows)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *grid = add(new DbGrid(t, {{QStringLiteral("num_doc")},
                                    {QStringLiteral("tipo_pag"), {}, Qt::AlignLeft,
                                     {QStringLiteral("TP01"), QStringLiteral("TP02")}}}));
    auto *nav = add(new DbNavigator(t, DbNavigator::allButtons()));
    showActive(window);
    QAbstractItemModel *m = grid->model();

    // A new row: the number typed into its cell is stored by post.
    nav->click(B::Insert);
    ASSERT_EQ(t.state(), DbTable::State::Insert);
    const QModelIndex fresh = m->index(3, 0);
    grid->setFocus();
    grid->setCurrentIndex(fresh);
    grid->edit(fresh);
    auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    ASSERT_NE(line, nullptr);
    QTest::keyClicks(line, QStringLiteral("42"));
    ASSERT_TRUE(nav->button(B::Post)->isEnabled());
    nav->click(B::Post);
    EXPECT_EQ(t.state(), DbTable::State::Browse);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE num_doc = '42'")), 1);

    // A stored row: choosing an item of the drop-down puts the row into editing at once,
    // and post stores the chosen item.
    const QModelIndex payment = m->index(2, 1);  // invoice 3, no payment type yet
    grid->setCurrentIndex(payment);
    ASSERT_EQ(t.text(QStringLiteral("num_doc")), QStringLiteral("3"));
    grid->edit(payment);
    auto *combo = grid->findChild<QComboBox *>();
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Down);  // the first item, TP01
    EXPECT_EQ(t.state(), DbTable::State::Edit);
    ASSERT_TRUE(nav->button(B::Post)->isEnabled());
    QTest::mouseClick(nav->button(B::Post), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE num_doc = '3' AND tipo_pag = 'TP01'")), 1);

    // A list of one column (as the header editor's list of linked-document groups): an item
    // chosen for a new row is stored by post, never an empty value.
    auto *single = add(new DbGrid(t, {{QStringLiteral("tipo_pag"), {}, Qt::AlignLeft,
                                       {QStringLiteral("TP01"), QStringLiteral("TP02")}}}));
    nav->click(B::Insert);
    const QModelIndex added = single->model()->index(4, 0);
    single->setFocus();
    single->setCurrentIndex(added);
    single->edit(added);
    auto *choice = single->findChild<QComboBox *>();
    ASSERT_NE(choice, nullptr);
    QTest::keyClick(choice, Qt::Key_Down);
    QTest::keyClick(choice, Qt::Key_Down);  // TP02
    EXPECT_EQ(choice->currentText(), QStringLiteral("TP02"));
    QTest::mouseClick(nav->button(B::Post), Qt::LeftButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE tipo_pag = 'TP02'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE tipo_pag IS NULL")), 1);  // only '42'
}

TEST_F(DataControls, TheRowHookRepaintsWholeRowsAndTheInsertedRowShowsLast)
{
    addInvoices();
    DbTable &t = diz->Testata;
    auto *grid = add(new DbGrid(t, {{QStringLiteral("num_doc")}, {QStringLiteral("tipo_pag")}}));
    grid->setReadOnly(true);
    grid->setRowSelect(true);
    grid->setRowStyleHook([](const DbTable &table, int row) -> std::optional<RowStyle> {
        if (table.valueAt(row, table.fieldIndex(QStringLiteral("inviata"))).toInt() == 1)
            return RowStyle{QColor(255, 0, 0), QColor(255, 255, 255)};
        return std::nullopt;
    });
    window.resize(400, 300);
    showActive(window);
    EXPECT_FALSE(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable);
    const QImage image = grid->viewport()->grab().toImage();
    auto colourAt = [&](int row, int column) {
        const QRect r = grid->visualRect(grid->model()->index(row, column));
        return image.pixelColor(r.right() - 3, r.bottom() - 2);
    };
    EXPECT_EQ(colourAt(1, 0), QColor(255, 0, 0));
    EXPECT_EQ(colourAt(1, 1), QColor(255, 0, 0));
    EXPECT_NE(colourAt(2, 0), QColor(255, 0, 0));

    t.append();
    EXPECT_EQ(grid->model()->rowCount(), 4);
    EXPECT_EQ(grid->currentIndex().row(), 3);
    t.cancel();
    EXPECT_EQ(grid->model()->rowCount(), 3);
}

TEST_F(DataControls, EnterMovesTheFocusLikeTabAndIsSwallowed)
{
    auto *a = add(new QLineEdit);
    auto *b = add(new QLineEdit);
    auto *c = add(new QLineEdit);
    installEnterAsTab(&window);
    showActive(window);
    QSignalSpy returns(a, &QLineEdit::returnPressed);
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_TRUE(b->hasFocus());
    QTest::keyClick(b, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(c->hasFocus());
    QTest::keyClick(c, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(b->hasFocus());
    EXPECT_EQ(returns.count(), 0);

    // Another window keeps its normal Enter.
    QWidget plain;
    auto *d = new QLineEdit(&plain);
    showActive(plain);
    QSignalSpy dReturns(d, &QLineEdit::returnPressed);
    d->setFocus();
    QTest::keyClick(d, Qt::Key_Return);
    EXPECT_EQ(dReturns.count(), 1);
}

TEST_F(DataControls, TheGridHearsOfOneStoredRowAndKeepsItsSelectionAcrossAReReadOfOtherRows)
{
    for (int i = 1; i <= 40; ++i)
        insert(QStringLiteral("testata"), {{"num_doc", QString::number(i)}, {"inviata", 0}});
    DbTable &t = diz->Testata;
    t.refresh();
    auto *grid = add(new DbGrid(t, {{QStringLiteral("num_doc")}, {QStringLiteral("inviata")}}));
    grid->setRowSelect(true);
    grid->setFixedHeight(200);
    showActive(window);
    t.moveTo(30);
    const int key = t.asInteger(u"id_invio");
    const int scrolled = grid->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    QSignalSpy resets(&grid->gridModel(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(&grid->gridModel(), &QAbstractItemModel::dataChanged);

    t.setText(u"num_doc", QStringLiteral("30 bis"));
    t.post();
    EXPECT_EQ(resets.count(), 0);
    ASSERT_GE(changes.count(), 1);
    for (const QList<QVariant> &c : changes) {
        EXPECT_EQ(c.at(0).toModelIndex().row(), 30);
        EXPECT_EQ(c.at(1).toModelIndex().row(), 30);
    }

    // The sending script marks other invoices, one is deleted above and one is added.
    db->sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE num_doc IN ('2', '35')"));
    db->sql().exec(QStringLiteral("DELETE FROM testata WHERE num_doc = '1'"));
    insert(QStringLiteral("testata"), {{"num_doc", "41"}});
    changes.clear();
    t.refresh();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(t.asInteger(u"id_invio"), key);
    EXPECT_EQ(grid->currentIndex().row(), 29);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(29, {}));
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(grid->gridModel().rowCount(), 40);
    EXPECT_EQ(grid->gridModel().cellText(0, 1), QStringLiteral("1"));   // invoice 2
    EXPECT_EQ(grid->gridModel().cellText(33, 1), QStringLiteral("1"));  // invoice 35
    EXPECT_EQ(grid->gridModel().cellText(39, 0), QStringLiteral("41"));
    // One line higher, as the deleted one above it: the view did not jump.
    EXPECT_LE(std::abs(grid->verticalScrollBar()->value() - scrolled), 1);
}

TEST_F(DataControls, ANewRowShowsLastWhilePendingAndTakesItsPlaceInTheOrderWhenStored)
{
    for (const char *n : {"Bianchi", "Verdi"})
        insert(QStringLiteral("clienti"), {{"rag_soc", n}});
    DbTable &t = diz->Clienti;
    t.refresh();
    auto *grid = add(new DbGrid(t, {{QStringLiteral("rag_soc")}}));
    showActive(window);
    QSignalSpy resets(&grid->gridModel(), &QAbstractItemModel::modelReset);
    t.append();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid->gridModel().rowCount(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    t.setText(u"rag_soc", QStringLiteral("Rossi"));
    EXPECT_EQ(grid->gridModel().cellText(2, 0), QStringLiteral("Rossi"));
    t.post();
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(grid->gridModel().rowCount(), 3);
    EXPECT_EQ(grid->gridModel().cellText(1, 0), QStringLiteral("Rossi"));
    EXPECT_EQ(grid->gridModel().cellText(2, 0), QStringLiteral("Verdi"));
    EXPECT_EQ(grid->currentIndex().row(), 1);
    t.append();
    t.cancel();
    EXPECT_EQ(grid->gridModel().rowCount(), 3);
    EXPECT_EQ(resets.count(), 0);
}

TEST_F(DataControls, CalcolaTotaliLeavesTheCurrentLineAndTheGridsWhereTheyWere)
{
    const int id = insert(QStringLiteral("testata"), {{"num_doc", "1"}});
    for (int i = 1; i <= 30; ++i)
        insert(QStringLiteral("dettaglio"), {{"id_invio", id}, {"prog", i}, {"quantita", "1,00"},
                                             {"prezzo_tot", "10,00"}, {"aliquota", i % 2 ? "22" : "10"}});
    diz->Testata.refresh();
    ASSERT_TRUE(diz->Testata.locate(u"id_invio", id));
    auto *heads = add(new DbGrid(diz->Testata, {{QStringLiteral("num_doc")}, {QStringLiteral("tot_doc")}}));
    auto *lines = add(new DbGrid(diz->Detta, {{QStringLiteral("prog")}, {QStringLiteral("prezzo_tot")}}));
    lines->setFixedHeight(150);
    showActive(window);
    diz->Detta.moveTo(20);
    const int scrolled = lines->verticalScrollBar()->value();
    QSignalSpy moves(&diz->Detta, &DbTable::currentRowChanged);
    QSignalSpy lineResets(&lines->gridModel(), &QAbstractItemModel::modelReset);
    QSignalSpy headResets(&heads->gridModel(), &QAbstractItemModel::modelReset);

    CalcolaTotali(*diz);
    EXPECT_EQ(stored(QStringLiteral("SELECT tot_doc FROM testata")), QStringLiteral("348,00"));
    EXPECT_EQ(moves.count(), 0);
    EXPECT_EQ(lineResets.count(), 0);
    EXPECT_EQ(headResets.count(), 0);
    EXPECT_EQ(diz->Detta.currentIndex(), 20);
    EXPECT_EQ(lines->currentIndex().row(), 20);
    EXPECT_EQ(lines->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(heads->gridModel().cellText(0, 1), QStringLiteral("348,00"));
}

TEST_F(DataControls, ARowRefusedBeforeItsStoreShowsTheEditorsMessageAndStaysPending)
{
    DbTable &t = diz->Clienti;
    const int hook = t.addBeforePostHook([](DbTable &table) {
        if (table.text(u"rag_soc").isEmpty())
            throw AppError(QStringLiteral("Mancanza Dati"));
    });
    auto *nav = add(new DbNavigator(t, DbNavigator::allButtons()));
    showActive(window);
    nav->click(B::Insert);
    t.setText(u"comune", QStringLiteral("Roma"));
    boxes.expectError(QStringLiteral("Mancanza Dati"));
    nav->click(B::Post);
    EXPECT_EQ(t.state(), DbTable::State::Insert);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM clienti")), 0);
    t.cancel();
    t.removeBeforePostHook(hook);
}

TEST_F(DataControls, NavigatorHintsAreItalian)
{
    auto *nav = add(new DbNavigator(diz->Testata, DbNavigator::allButtons()));
    QStringList hints;
    for (B b : DbNavigator::allButtons())
        hints << nav->button(b)->toolTip();
    EXPECT_EQ(hints, (QStringList{"Primo record", "Record precedente", "Record successivo", "Ultimo record",
                                  "Inserisci record", "Elimina record", "Modifica record", "Registra modifiche",
                                  "Annulla modifiche", "Aggiorna dati"}));
}

TEST_F(DataControls, AFormPlacesCaptionsAboveTheirBoxesAndKeepsTheTabOrderOfAdding)
{
    insert(QStringLiteral("clienti"), {{"rag_soc", "Rossi"}, {"cap", "00100"}});
    DbTable &t = diz->Clienti;
    t.refresh();
    auto *panel = add(new QWidget);
    panel->setMinimumSize(600, 200);
    BoundForm form(panel, t);
    DbEdit *name = form.addEdit(QStringLiteral("Ragione Sociale"), QStringLiteral("rag_soc"), {16, 40, 300, 30});
    DbComboBox *country = form.addCombo(QStringLiteral("Nazione"), QStringLiteral("nazione"), {QStringLiteral("IT")},
                                        {340, 40, 80, 30}, {330, 4});
    DbEdit *cap = form.addEdit(QStringLiteral("CAP"), QStringLiteral("cap"), {16, 120, 80, 30});
    showActive(window);
    EXPECT_EQ(form.caption(QStringLiteral("rag_soc"))->pos(), QPoint(16, 16));
    EXPECT_EQ(form.caption(QStringLiteral("nazione"))->pos(), QPoint(330, 4));
    EXPECT_EQ(form.caption(QStringLiteral("cap"))->text(), QStringLiteral("CAP"));
    EXPECT_EQ(form.control(QStringLiteral("cap")), cap);
    EXPECT_EQ(cap->text(), QStringLiteral("00100"));
    // The column's width, in characters: a sixth is refused, characters outside the basic
    // plane count one each and are never split.
    const QString emoji = QStringLiteral("\U0001F600");
    const struct {
        QString typed, kept;
    } typing[] = {{QStringLiteral("123456"), QStringLiteral("12345")}, {emoji.repeated(6), emoji.repeated(5)},
                  {QStringLiteral("abcd") + emoji, QStringLiteral("abcd") + emoji}};
    for (const auto &c : typing) {
        cap->setFocus();
        cap->selectAll();
        QTest::keyClick(cap, Qt::Key_Delete);
        // One key per character, as a keyboard sends them.
        for (qsizetype i = 0; i < c.typed.size(); i += c.typed[i].isHighSurrogate() ? 2 : 1) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, c.typed.mid(i, c.typed[i].isHighSurrogate() ? 2 : 1));
            QApplication::sendEvent(cap, &key);
        }
        EXPECT_EQ(cap->text(), c.kept);
        EXPECT_EQ(t.text(u"cap"), c.kept);
    }
    cap->selectAll();
    cap->insert(QStringLiteral("1234") + emoji.repeated(4));  // a paste longer than the column
    EXPECT_EQ(cap->text(), QStringLiteral("1234") + emoji);
    EXPECT_EQ(t.text(u"cap"), QStringLiteral("1234") + emoji);
    t.cancel();
    name->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), country);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), cap);
}

TEST_F(DataControls, AnAmountBoxRunsItsHandlerWhenTheUserLeavesItAndReportsItsErrors)
{
    insert(QStringLiteral("testata"), {{"num_doc", "1"}, {"spese", "0,00"}});
    DbTable &t = diz->Testata;
    t.refresh();
    auto *expenses = add(new DbAmountEdit(t, QStringLiteral("spese")));
    auto *next = add(new DbEdit(t, QStringLiteral("num_doc")));
    QStringList seen;
    expenses->setOnLeave([&] {
        seen << t.text(u"spese");
        if (t.text(u"spese") == u"x")
            throw ConversionError(QStringLiteral("'x' is not a valid floating point value"));
    });
    showActive(window);
    EXPECT_TRUE(expenses->alignment() & Qt::AlignRight);
    expenses->setFocus();
    expenses->selectAll();
    QTest::keyClicks(expenses, QStringLiteral("12,50"));
    EXPECT_TRUE(seen.isEmpty());  // not while typing
    next->setFocus();
    EXPECT_EQ(seen, QStringList{"12,50"});
    expenses->setFocus();
    expenses->selectAll();
    QTest::keyClicks(expenses, QStringLiteral("x"));
    boxes.expectError(QStringLiteral("'x' is not a valid floating point value"));
    next->setFocus();
    EXPECT_EQ(seen.size(), 2);
    t.cancel();
}

} // namespace
