// The line editor on the shared line and header tables, hosted over the line list as in
// the workspace: typing a line, numbering, copying a line in, the totals stored with the
// line, refusals.
#include "ui/screens/elenco_fatt/line_panel.h"
#include "editor_panel_fixture.h"
#include "ui/screens/elenco_fatt/nature_codes.h"
#include "ui/kit/panel_list.h"

#include <QLabel>

namespace {

const char *const LineColumns = "prog, descrizione, quantita, um, prezzo_unit, sc_tipo, sc_perc, sc_importo, prezzo_tot, "
                                "aliquota, tipo_cessione, ritenuta, natura, codice_tipo, codice_val, rif_amm";

class LineEditor : public PanelTest {
protected:
    LinePanel *panel = nullptr;

    void SetUp() override
    {
        PanelTest::SetUp();
        auto *layout = new QVBoxLayout(&window);
        panel = new LinePanel(*diz, &window);
        layout->addWidget(panel);
        addLineList(layout);
        showActive(window);
    }

    QStringList storedLine(int id, int index)
    {
        return row(QStringLiteral("SELECT %1 FROM dettaglio WHERE id_invio = %2 ORDER BY prog")
                       .arg(QLatin1String(LineColumns))
                       .arg(id),
                   index);
    }
    QStringList progs(int id)
    {
        QStringList out;
        const DbResult r = db->sql().select(QStringLiteral("SELECT prog FROM dettaglio WHERE id_invio = %1").arg(id));
        for (const DbRow &line : r.rows)
            out << QString::fromUtf8(line.raw(0).toByteArray());
        return out;
    }
    // A whole new line typed in and stored.
    void typeLine(const QString &description, const QString &quantity, const QString &price, const QString &rate,
                  const QString &discountType = {}, const QString &percent = {})
    {
        panel->startInsert();
        type("Edit1", description);
        enter("Edit2", quantity);
        enter("Edit4", rate);
        enter("Edit7", price);
        enter("cb1", discountType);
        if (!percent.isEmpty())
            enter("Edit8", percent);
        click("BitBtn8");
    }
    void deleteCurrentLine(bool yes)
    {
        boxes.expectConfirm(QStringLiteral("Confermi Eliminazione Riga: ?"), yes);
        panel->deleteLine();
    }
};

TEST_F(LineEditor, ALineWithADiscountStoresItsAmountsAndTheInvoiceTotals)
{
    const int id = addInvoice();
    panel->startInsert();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->mode(), LinePanel::Mode::NewLine);
    EXPECT_EQ(QApplication::focusWidget(), control("Edit1"));
    type("Edit1", QStringLiteral("Consulenza tecnica"));
    enter("Edit2", QStringLiteral("2"));
    EXPECT_EQ(text("Edit2"), QStringLiteral("2,00"));
    enter("Edit7", QStringLiteral("10"));
    EXPECT_EQ(text("Edit7"), QStringLiteral("10,000"));
    EXPECT_EQ(text("Edit10"), QStringLiteral("20,000"));
    enter("cb1", QStringLiteral("SC"));
    enter("Edit8", QStringLiteral("10"));
    EXPECT_EQ(text("Edit8"), QStringLiteral("10,00"));
    EXPECT_EQ(text("Edit9"), QStringLiteral("2,00"));
    EXPECT_EQ(text("Edit10"), QStringLiteral("18,000"));
    type("Edit11", QStringLiteral("RIF-1"));
    click("BitBtn8");

    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(storedLine(id, 0), (QStringList{"1", "Consulenza tecnica", "2,00", "PZ", "10,000", "SC", "10,00", "2,00",
                                              "18,000", "22", "", "", "", "", "", "RIF-1"}));
    EXPECT_EQ(row(QStringLiteral("SELECT aliquota, imponibile, imposta, sc_importo, tot_doc FROM testata WHERE id_invio = %1").arg(id)),
              (QStringList{"22", "18,00", "3,96", "0,00", "21,96"}));

    // A second line at another rate opens the second bucket.
    typeLine(QStringLiteral("Toner"), QStringLiteral("3"), QStringLiteral("5"), QStringLiteral("10"));
    EXPECT_EQ(storedLine(id, 1).mid(0, 10),
              (QStringList{"2", "Toner", "3,00", "PZ", "5,000", "", "", "", "15,000", "10"}));
    EXPECT_EQ(row(QStringLiteral("SELECT aliquota2, imponibile2, imposta2, tot_doc FROM testata WHERE id_invio = %1").arg(id)),
              (QStringList{"10", "15,00", "1,50", "38,46"}));
    // What the list and the header object show is what the server holds.
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("38,46"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
}

TEST_F(LineEditor, FieldExitsComputeTheAmountAsTheLineAmountDoes)
{
    addInvoice();
    panel->startInsert();
    struct Step {
        const char *control;
        const char *typed;
        const char *perc, *discount, *total;
    };
    // Surcharge, then no type (percentage emptied), then a list exit re-running it.
    const Step steps[] = {{"Edit2", "2", "", "", "0,000"},
                          {"Edit7", "10", "", "", "20,000"},
                          {"cb1", "MG", "", "0,00", "20,000"},
                          {"Edit8", "10", "10,00", "2,00", "22,000"},
                          {"cb1", "mg", "", "", "20,000"},  // lower case selects nothing
                          {"Edit8", "5", "", "", "20,000"},
                          {"cb1", "SC", "", "0,00", "20,000"},
                          {"Edit8", "abc", "", "0,00", "20,000"},
                          {"Edit2", "1.5", "", "0,00", "0,000"}};
    for (const Step &s : steps) {
        enter(s.control, QString::fromLatin1(s.typed));
        EXPECT_EQ(text("Edit8"), QString::fromLatin1(s.perc)) << s.control << " " << s.typed;
        EXPECT_EQ(text("Edit9"), QString::fromLatin1(s.discount)) << s.control << " " << s.typed;
        EXPECT_EQ(text("Edit10"), QString::fromLatin1(s.total)) << s.control << " " << s.typed;
    }
    EXPECT_EQ(text("Edit2"), QStringLiteral("0,00"));
}

TEST_F(LineEditor, NewLinesTakeTheLastLinesProgPlusOne)
{
    const int id = addInvoice();
    typeLine(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    EXPECT_EQ(progs(id), QStringList{"1"});
    typeLine(QStringLiteral("B"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    typeLine(QStringLiteral("C"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    typeLine(QStringLiteral("D"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    EXPECT_EQ(progs(id), (QStringList{"1", "2", "3", "4"}));

    // Deleting the last two lines: the next new line is 3 again.
    for (int i = 0; i < 2; ++i) {
        diz->Detta.last();
        deleteCurrentLine(true);
    }
    typeLine(QStringLiteral("E"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    EXPECT_EQ(progs(id), (QStringList{"1", "2", "3"}));

    // Deleting line 2 alone leaves a gap: the next one follows the last, 4.
    diz->Detta.first();
    diz->Detta.next();
    deleteCurrentLine(true);
    typeLine(QStringLiteral("F"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    EXPECT_EQ(progs(id), (QStringList{"1", "3", "4"}));

    // A last line without a number gives 1.
    db->sql().exec(QStringLiteral("UPDATE dettaglio SET prog = NULL WHERE prog = 4"));
    select(id);
    typeLine(QStringLiteral("G"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("22"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE prog = 1 AND id_invio = %1").arg(id)), 2);
}

TEST_F(LineEditor, InsRigaKeepsTheLastLineShownExceptItsFourDefaults)
{
    const int id = addInvoice();
    addLine(id, {{"prog", 1}, {"descrizione", "Trasporto"}, {"quantita", "1,00"}, {"um", "NR"}, {"prezzo_unit", "50,000"},
                 {"sc_tipo", "MG"}, {"sc_perc", "5,00"}, {"sc_importo", "2,50"}, {"prezzo_tot", "52,500"},
                 {"aliquota", "10"}, {"tipo_cessione", "AC"}, {"ritenuta", "SI"}, {"natura", "N3.2"},
                 {"codice_tipo", "INTERNO"}, {"codice_val", "TR-01"}, {"rif_amm", "AMM-5"}});
    panel->startModify();
    EXPECT_EQ(panel->mode(), LinePanel::Mode::ChangeLine);
    click("BitBtn9");  // Annulla
    EXPECT_FALSE(panel->isVisible());
    panel->startInsert();
    EXPECT_EQ(panel->mode(), LinePanel::Mode::NewLine);
    const std::pair<const char *, const char *> shown[] = {
        {"Edit1", "Trasporto"}, {"Edit2", "0,00"},   {"Edit3", "PZ"},    {"Edit4", "22"},     {"Edit5", "INTERNO"},
        {"Edit6", "TR-01"},     {"Edit7", "0,00"},   {"cb1", "MG"},      {"Edit8", "5,00"},   {"Edit9", "2,50"},
        {"Edit10", "52,500"},   {"cb2", "AC"},       {"cb3", "SI"},      {"CB4", "N3.2"},     {"Edit11", "AMM-5"}};
    for (const auto &[name, value] : shown)
        EXPECT_EQ(text(name), QString::fromLatin1(value)) << name;

    // Registra at once stores the defaults with the amounts shown before.
    click("BitBtn8");
    EXPECT_EQ(storedLine(id, 1), (QStringList{"2", "Trasporto", "0,00", "PZ", "0,00", "MG", "5,00", "2,50", "52,500", "22",
                                              "AC", "SI", "N3.2", "INTERNO", "TR-01", "AMM-5"}));
    // A quantity of 0 counts nowhere.
    EXPECT_EQ(header(id, "aliquota"), QStringLiteral("10"));
}

TEST_F(LineEditor, ModRigaThenRegistraStoresTheLineAsItWasExceptListValuesMatchingNoItem)
{
    struct Case {
        const char *column, *stored, *after;
    };
    const Case cases[] = {
        {"sc_tipo", "sc", ""},         {"sc_tipo", "MG", "MG"},        {"tipo_cessione", "pr", ""},
        {"tipo_cessione", "AB", "AB"}, {"natura", "n2", ""},           {"natura", "N7", "N7"},
        {"natura", "N6.9", "N6.9"},    {"natura", "N4", "N4"},         {"ritenuta", "", ""},
        {"ritenuta", "si", ""},
    };
    const int id = addInvoice();
    for (const Case &c : cases) {
        db->sql().exec(QStringLiteral("DELETE FROM dettaglio"));
        QVariantMap line{{"prog", 1},         {"descrizione", "Riga"}, {"quantita", "2,00"},  {"um", "KG"},
                         {"prezzo_unit", "3,000"}, {"sc_tipo", "SC"},  {"sc_perc", "10,00"},  {"sc_importo", "0,60"},
                         {"prezzo_tot", "5,400"}, {"aliquota", "22"},  {"tipo_cessione", ""}, {"ritenuta", ""},
                         {"natura", ""},          {"codice_tipo", "EAN"}, {"codice_val", "800"}, {"rif_amm", "R"}};
        line.insert(QString::fromLatin1(c.column), QString::fromLatin1(c.stored));
        addLine(id, line);
        const QStringList before = storedLine(id, 0);
        panel->startModify();
        click("BitBtn8");
        QStringList expected = before;
        expected[QString::fromLatin1(LineColumns).split(QStringLiteral(", ")).indexOf(QString::fromLatin1(c.column))] =
            QString::fromLatin1(c.after);
        EXPECT_EQ(storedLine(id, 0), expected) << c.column << " = " << c.stored;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
    }
}

TEST_F(LineEditor, ModRigaShowsNullColumnsAsEmptyTextAndDoesNothingWithoutLines)
{
    const int id = addInvoice();
    panel->startModify();
    EXPECT_FALSE(panel->isVisible());

    db->sql().exec(QStringLiteral("INSERT INTO dettaglio (id_invio, prog, quantita) VALUES (%1, 1, NULL)").arg(id));
    select(id);
    panel->startInsert();
    type("Edit5", QStringLiteral("OLD"));
    panel->startModify();
    EXPECT_TRUE(panel->isVisible());
    for (const char *name : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "cb1", "Edit8", "Edit9",
                             "Edit10", "cb2", "cb3", "CB4", "Edit11", "DBEdit39"})
        EXPECT_EQ(text(name), QString()) << name;
    // A line without a quantity cannot be counted: nothing is stored.
    boxes.expectError(QStringLiteral("'' is not a valid floating point value"));
    click("BitBtn8");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(storedLine(id, 0).mid(0, 3), (QStringList{"1", "<NULL>", "<NULL>"}));
    enter("Edit2", QStringLiteral("1"));
    click("BitBtn8");
    EXPECT_EQ(storedLine(id, 0), (QStringList{"1", "", "1,00", "", "", "", "", "", "0,000", "", "", "", "", "", "", ""}));
}

TEST_F(LineEditor, AFailingRecomputationStoresNothingAndKeepsThePanelOpen)
{
    const int id = addInvoice({{"tot_doc", "1,00"}});
    for (const char *rate : {"4", "5", "10", "22"})
        addLine(id, {{"prog", QString::fromLatin1(rate).toInt()}, {"descrizione", "R"}, {"quantita", "1,00"},
                     {"prezzo_tot", "1,000"}, {"aliquota", rate}});
    const QStringList headerBefore = row(QStringLiteral("SELECT * FROM testata"));

    // A fifth rate has no bucket.
    panel->startInsert();
    type("Edit1", QStringLiteral("Quinta aliquota"));
    enter("Edit2", QStringLiteral("1"));
    enter("Edit7", QStringLiteral("7"));
    type("Edit4", QStringLiteral("21"));
    boxes.expectError(QStringLiteral("Aliquota IVA non riepilogata: 21"));
    click("BitBtn8");
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 4);
    EXPECT_EQ(row(QStringLiteral("SELECT * FROM testata")), headerBefore);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(text("Edit1"), QStringLiteral("Quinta aliquota"));
    EXPECT_EQ(text("Edit4"), QStringLiteral("21"));
    EXPECT_EQ(text("Edit10"), QStringLiteral("7,000"));
    EXPECT_EQ(diz->Detta.rowCount(), 4);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("1,00"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);

    // An unreadable amount in a stored line: the changed line is not stored either.
    db->sql().exec(QStringLiteral("UPDATE dettaglio SET prezzo_tot = '1.000' WHERE prog = 22"));
    select(id);
    diz->Detta.first();
    panel->startModify();
    type("Edit1", QStringLiteral("Cambiata"));
    boxes.expectError(QStringLiteral("'1.000' is not a valid floating point value"));
    click("BitBtn8");
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE descrizione = 'Cambiata'")), 0);
    EXPECT_EQ(row(QStringLiteral("SELECT * FROM testata")), headerBefore);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(text("Edit1"), QStringLiteral("Cambiata"));

    // Once the fault is mended the same panel stores line and totals.
    db->sql().exec(QStringLiteral("UPDATE dettaglio SET prezzo_tot = '1,000' WHERE prog = 22"));
    select(id);
    diz->Detta.first();
    click("BitBtn8");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE descrizione = 'Cambiata'")), 1);
    EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("4,41"));
}

TEST_F(LineEditor, DeletingALineRecomputesTheTotalsAndNoKeepsIt)
{
    const int id = addInvoice();
    typeLine(QStringLiteral("A"), QStringLiteral("1"), QStringLiteral("100"), QStringLiteral("22"));
    typeLine(QStringLiteral("B"), QStringLiteral("1"), QStringLiteral("50"), QStringLiteral("10"));
    EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("177,00"));

    diz->Detta.first();
    deleteCurrentLine(false);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 2);
    EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("177,00"));

    deleteCurrentLine(true);
    EXPECT_EQ(progs(id), QStringList{"2"});
    EXPECT_EQ(row(QStringLiteral("SELECT aliquota, imponibile, aliquota2, imponibile2, tot_doc FROM testata")),
              (QStringList{"10", "50,00", "", "", "55,00"}));
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("55,00"));

    // Nothing to delete: no question.
    deleteCurrentLine(true);
    EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("0,00"));
    panel->deleteLine();
}

TEST_F(LineEditor, ADeleteWhoseRecomputationFailsKeepsTheLineAndTheTotals)
{
    const int id = addInvoice({{"tot_doc", "1,00"}});
    addLine(id, {{"prog", 1}, {"descrizione", "Leggibile"}, {"quantita", "1,00"}, {"prezzo_tot", "10,000"}, {"aliquota", "22"}});
    addLine(id, {{"prog", 2}, {"descrizione", "Illeggibile"}, {"quantita", "1,00"}, {"prezzo_tot", "1.000"}, {"aliquota", "22"}});
    const QStringList headerBefore = row(QStringLiteral("SELECT * FROM testata"));

    diz->Detta.first();
    boxes.expectConfirm(QStringLiteral("Confermi Eliminazione Riga: ?"), true);
    boxes.expectError(QStringLiteral("'1.000' is not a valid floating point value"));
    panel->deleteLine();
    EXPECT_EQ(progs(id), (QStringList{"1", "2"}));
    EXPECT_EQ(row(QStringLiteral("SELECT * FROM testata")), headerBefore);
    // The lists hold what the server holds.
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("tot_doc")), QStringLiteral("1,00"));
    EXPECT_FALSE(diz->xml_conn.inTransaction());
}

TEST_F(LineEditor, OverLongAmountsAreRefusedNamingTheFieldAndNothingIsStored)
{
    struct Case {
        const char *control, *typed, *message;
    };
    const Case cases[] = {
        {"Edit2", "1234567890123", "Valore troppo lungo nel campo Quantita: al massimo 12 caratteri"},
        {"Edit7", "123456789012", "Valore troppo lungo nel campo Pr. Lordo: al massimo 12 caratteri"},
    };
    const int id = addInvoice();
    for (const Case &c : cases) {
        panel->startInsert();
        type("Edit1", QStringLiteral("Troppo"));
        enter(c.control, QString::fromLatin1(c.typed));
        EXPECT_GT(text(c.control).size(), 12) << "shown whole after the exit: " << c.control;
        boxes.expectInform(QString::fromLatin1(c.message));
        click("BitBtn8");
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
        EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("<NULL>"));
    }

    // A total too long for its column is never shown: the panel keeps an earlier one,
    // which does not belong to the line.
    panel->startInsert();
    enter("Edit2", QStringLiteral("99999999"));
    boxes.expectInform(QStringLiteral("Errore"));
    enter("Edit7", QStringLiteral("99999"));
    EXPECT_EQ(text("Edit10"), QStringLiteral("0,000"));
    boxes.expectInform(QStringLiteral("Errore"));  // leaving the list for the button
    boxes.expectInform(QStringLiteral("Valore troppo lungo nel campo Prezzo Totale: al massimo 12 caratteri"));
    click("BitBtn8");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 0);
}

TEST_F(LineEditor, ControlsComeInReadingOrderWithTheirCaptionsLimitsAndLists)
{
    addInvoice();
    panel->startInsert();
    struct Control {
        const char *name, *caption;
        int typedMax;
    };
    const Control order[] = {{"Edit1", "DESCRIZIONE", 100}, {"Edit2", "Quantita", 100},   {"Edit3", "U.M.", 4},
                             {"Edit4", "Aliquota", 4},      {"Edit5", "Codice Tipo", 35}, {"Edit6", "Codice Valore", 35},
                             {"Edit7", "Pr. Lordo ", 12},   {"cb1", "Tipo Sc.", 2},       {"Edit8", "Sc.Perc.", 6},
                             {"Edit9", "Tot. Sconto ", 12}, {"Edit10", "Prezzo Totale", 12}, {"cb2", "Premio/Abbuono", 2},
                             {"cb3", "Ritenuta", 2},        {"CB4", "Natura", 4},         {"Edit11", "Rif. Amministrativo", 20}};
    control("Edit1")->setFocus();
    for (const Control &c : order) {
        QWidget *w = control(c.name);
        EXPECT_EQ(QApplication::focusWidget() == w || QApplication::focusWidget()->parentWidget() == w, true)
            << "tab reached " << QApplication::focusWidget()->objectName().toStdString() << " instead of " << c.name;
        const auto labels = window.findChildren<QLabel *>();
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel *l) { return l->buddy() == w; });
        ASSERT_NE(label, labels.end()) << c.name;
        EXPECT_EQ((*label)->text(), QString::fromLatin1(c.caption));
        auto *edit = qobject_cast<QLineEdit *>(w);
        if (!edit)
            edit = qobject_cast<QComboBox *>(w)->lineEdit();
        if (!edit->isReadOnly()) {
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, QString(c.typedMax + 3, QLatin1Char('0')));
            EXPECT_EQ(edit->text().size(), c.typedMax) << c.name;
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_TRUE(control<QLineEdit>("Edit9")->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>("Edit10")->isReadOnly());

    auto items = [&](const char *name) {
        auto *list = control<QComboBox>(name);
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    };
    EXPECT_EQ(items("cb1"), (QStringList{"SC", "MG"}));
    EXPECT_EQ(items("cb2"), (QStringList{"SC", "PR", "AB", "AC"}));
    EXPECT_EQ(items("cb3"), (QStringList{"", "SI"}));
    EXPECT_EQ(items("CB4"), (QStringList{"N1", "N2", "N3", "N4", "N5", "N6", "N2.1", "N2.2", "N3.1", "N3.2", "N3.3", "N3.4",
                                         "N3.5", "N3.6", "N6.1", "N6.2", "N6.3", "N6.4", "N6.5", "N6.6", "N6.7", "N6.8",
                                         "N6.9", "N7"}));
    EXPECT_EQ(control<QPushButton>("BitBtn8")->text(), QStringLiteral("Registra"));
    EXPECT_EQ(control<QPushButton>("BitBtn9")->text(), QStringLiteral("Annulla"));
}

TEST_F(LineEditor, TheBoundNaturaFieldFollowsTheCurrentLineAndChangeModeFollowsTheLineList)
{
    const int id = addInvoice();
    addLine(id, {{"prog", 1}, {"descrizione", "Uno"}, {"quantita", "1,00"}, {"prezzo_tot", "1,000"}, {"aliquota", "0"}, {"natura", "N4"}});
    addLine(id, {{"prog", 2}, {"descrizione", "Due"}, {"quantita", "1,00"}, {"prezzo_tot", "2,000"}, {"aliquota", "0"}, {"natura", "N2.2"}});
    diz->Detta.first();
    panel->startModify();
    EXPECT_EQ(text("DBEdit39"), QStringLiteral("N4"));
    // The line list stays usable: the panel's values go into the line now current.
    QTest::mouseClick(lineList->viewport(), Qt::LeftButton, {}, lineList->visualRect(lineList->model()->index(1, 1)).center());
    EXPECT_EQ(diz->Detta.currentIndex(), 1);
    EXPECT_EQ(text("DBEdit39"), QStringLiteral("N2.2"));
    click("BitBtn8");
    EXPECT_EQ(storedLine(id, 1).mid(0, 3), (QStringList{"2", "Uno", "1,00"}));
    EXPECT_EQ(storedLine(id, 1)[12], QStringLiteral("N4"));
    EXPECT_EQ(header(id, "tot_doc"), QStringLiteral("2,00"));
}

} // namespace
