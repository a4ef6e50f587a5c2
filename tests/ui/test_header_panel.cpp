// The header editor on the shared header table: bound fields with their conversions,
// "Registra" recomputing and storing, "Annulla" dropping the pending changes, the sent
// flag, and the linked-document lists with their links.
#include "ui/kit/db_date_edit.h"
#include "ui/kit/db_edit.h"
#include "ui/kit/db_navigator.h"
#include "editor_panel_fixture.h"
#include "ui/screens/elenco_fatt/header_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

namespace {

using B = DbNavigator::Button;

class HeaderEditor : public PanelTest {
protected:
    HeaderPanel *panel = nullptr;

    void SetUp() override
    {
        PanelTest::SetUp();
        auto *layout = new QVBoxLayout(&window);
        panel = new HeaderPanel(*diz, &window);
        layout->addWidget(panel);
        showActive(window);
    }

};

TEST_F(HeaderEditor, TypedLettersAreStoredInTheFieldsCase)
{
    const int id = addInvoice();
    panel->open();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);  // opening edits nothing
    type("DBEdit3", QStringLiteral("alfa srl"));
    type("DBEdit11", QStringLiteral("Amministrazione@Alfa-PEC.IT"));
    type("DBEdit32", QStringLiteral("bartolini spa"));
    type("DBEdit5", QStringLiteral("Roma"));  // as typed
    EXPECT_EQ(text("DBEdit3"), QStringLiteral("ALFA SRL"));
    click("BitBtn13");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(row(QStringLiteral("SELECT rag_soc, pec, trasporto, comune FROM testata WHERE id_invio = %1").arg(id)),
              (QStringList{"ALFA SRL", "amministrazione@alfa-pec.it", "BARTOLINI SPA", "Roma"}));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
}

TEST_F(HeaderEditor, AnnullaDropsEveryPendingChangeOfTheHeader)
{
    const int id = addInvoice({{"tipo_pag", "TP02"}, {"scad1", "31/03/26"}});
    const QStringList before = row(QStringLiteral("SELECT * FROM testata"));
    panel->open();
    type("DBComboBox2", QStringLiteral("TP01"));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
    type("DBEdit13", QStringLiteral("300426"));
    EXPECT_EQ(diz->Testata.text(QStringLiteral("scad1")), QStringLiteral("30/04/26"));
    click("BitBtn14");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(row(QStringLiteral("SELECT * FROM testata")), before);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(text("DBComboBox2"), QStringLiteral("TP02"));
    EXPECT_EQ(control<DbDateEdit>("DBEdit13")->maskedText(), QStringLiteral("31/03/26"));
    // Annulla with nothing pending changes nothing either.
    panel->open();
    click("BitBtn14");
    EXPECT_EQ(row(QStringLiteral("SELECT * FROM testata")), before);
    EXPECT_EQ(header(id, "tipo_pag"), QStringLiteral("TP02"));
}

TEST_F(HeaderEditor, InviataTickedAndRegisteredMarksTheInvoiceSentAndClearedSendable)
{
    const int id = addInvoice({{"inviata", 0}});
    panel->open();
    auto *sent = control<QCheckBox>("DBCheckBox1");
    EXPECT_EQ(sent->text(), QStringLiteral("Inviata"));
    EXPECT_FALSE(sent->isChecked());
    QTest::mouseClick(sent, Qt::LeftButton, {}, QPoint(5, sent->height() / 2));
    EXPECT_EQ(header(id, "inviata"), QStringLiteral("0"));  // nothing stored before Registra
    click("BitBtn13");
    EXPECT_EQ(header(id, "inviata"), QStringLiteral("1"));
    EXPECT_EQ(diz->Testata.value(QStringLiteral("inviata")).toInt(), 1);

    panel->open();
    QTest::mouseClick(sent, Qt::LeftButton, {}, QPoint(5, sent->height() / 2));
    click("BitBtn13");
    EXPECT_EQ(header(id, "inviata"), QStringLiteral("0"));
}

TEST_F(HeaderEditor, RegistraRecomputesTheTotalsOverTypedRatesAndStoresTheOtherChanges)
{
    const int id = addInvoice({{"spese", "10,00"}});
    addLine(id, {{"prog", 1}, {"quantita", "1,00"}, {"prezzo_tot", "100,000"}, {"aliquota", "22"}});
    panel->open();
    type("DBEdit18", QStringLiteral("10"));
    type("DBEdit2", QStringLiteral("99"));
    type("DBComboBox5", QStringLiteral("SC"));
    type("DBEdit20", QStringLiteral("10"));
    click("BitBtn13");
    EXPECT_EQ(text("DBEdit18"), QStringLiteral("22"));
    // 100 + 22 of VAT, expenses 10 + 2,20, discount 10 + 2,20.
    EXPECT_EQ(text("DBEdit29"), QStringLiteral("122,00"));
    EXPECT_EQ(row(QStringLiteral("SELECT aliquota, imponibile, imposta, sc_importo, num_doc, tot_doc FROM testata WHERE id_invio = %1").arg(id)),
              (QStringList{"22", "100,00", "22,00", "10,00", "99", "122,00"}));
}

TEST_F(HeaderEditor, FieldsListsAndLimitsAreThoseOfTheHeaderColumns)
{
    addInvoice({{"natura", "N3"}, {"natura2", "N6.2"}, {"scad2", "05/03/26"}});
    panel->open();
    auto items = [&](const char *name) {
        auto *list = control<QComboBox>(name);
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->itemText(i);
        return out;
    };
    const QStringList subcodes{"N2.1", "N2.2", "N3.1", "N3.2", "N3.3", "N3.4", "N3.5", "N3.6", "N6.1",
                               "N6.2", "N6.3", "N6.4", "N6.5", "N6.6", "N6.7", "N6.8", "N6.9", "N7"};
    EXPECT_EQ(items("DBComboBox7"), QStringList({"N1", "N2", "N3", "N4", "N5"}) + subcodes);
    for (const char *name : {"DBComboBox9", "DBComboBox11", "DBComboBox13"})
        EXPECT_EQ(items(name), QStringList({"N1", "N2", "N3", "N4", "N5", "N6"}) + subcodes) << name;
    EXPECT_EQ(items("DBComboBox1"), (QStringList{"TD01", "TD03", "TD04", "TD20"}));
    EXPECT_EQ(items("DBComboBox2"), (QStringList{"TP01", "TP02"}));
    EXPECT_EQ(items("DBComboBox3"), (QStringList{"MP01", "MP02", "MP05", "MP12"}));
    EXPECT_EQ(items("DBComboBox4"), QStringList{"IT"});
    EXPECT_EQ(items("DBComboBox5"), (QStringList{"SC", "MG"}));
    for (const char *name : {"DBComboBox6", "DBComboBox8", "DBComboBox10", "DBComboBox12"})
        EXPECT_EQ(items(name), (QStringList{"I", "D", "S"})) << name;
    EXPECT_EQ(text("DBComboBox7"), QStringLiteral("N3"));  // stored values kept as they are
    EXPECT_EQ(text("DBComboBox9"), QStringLiteral("N6.2"));
    EXPECT_EQ(control<DbDateEdit>("DBEdit14")->maskedText(), QStringLiteral("05/03/26"));

    // Each bound field shows its column under its caption; computed ones are read only.
    struct Field {
        const char *name, *caption;
        int maxLength;
        bool readOnly;
    };
    const Field fields[] = {{"DBEdit1", "Data Documento", 10, false},  {"DBEdit2", "Numero Documento", 10, false},
                            {"DBEdit3", "Ragione Sociale", 60, false}, {"DBEdit6", "CAP", 5, false},
                            {"DBEdit7", "Prov.", 4, false},            {"DBEdit10", "Codice Destinatario", 7, false},
                            {"DBEdit32", "Trasportatore", 25, false},  {"DBEdit18", "Aliquota", 6, false},
                            {"DBEdit25", "Spese", 12, false},          {"DBEdit17", "Imponibile", 12, true},
                            {"DBEdit19", "Imposta", 12, true},         {"DBEdit30", "Omaggio", 12, true},
                            {"DBEdit26", "Normativa", 100, false},     {"DBEdit41", "Imponibile", 12, true},
                            {"DBEdit42", "Imposta", 12, true},         {"DBEdit20", "Perc.", 4, false},
                            {"DBEdit21", "Totale Sconto", 12, false},  {"DBEdit29", "Totale Documento", 12, true}};
    const auto labels = window.findChildren<QLabel *>();
    for (const Field &f : fields) {
        auto *edit = control<QLineEdit>(f.name);
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel *l) { return l->buddy() == edit; });
        ASSERT_NE(label, labels.end()) << f.name;
        EXPECT_EQ((*label)->text(), QString::fromLatin1(f.caption)) << f.name;
        const auto *bound = qobject_cast<DbEdit *>(edit);
        EXPECT_EQ(bound ? bound->maxChars() : edit->maxLength(), f.maxLength) << f.name;
        EXPECT_EQ(edit->isReadOnly(), f.readOnly) << f.name;
    }
    // Bucket 4 has no expenses, free goods or legal reference.
    EXPECT_EQ(window.findChild<QWidget *>(QStringLiteral("bucket4"))->findChildren<QLineEdit *>().size(), 5);

    // A letter never reaches the number of instalments.
    type("DBEdit12", QStringLiteral("2x"));
    EXPECT_EQ(text("DBEdit12"), QStringLiteral("2"));
    click("BitBtn14");
}

TEST_F(HeaderEditor, TabGoesThroughTheGroupsInTheirReadingOrder)
{
    addInvoice();
    panel->open();
    const QStringList expected{
        "DBComboBox1", "DBEdit1", "DBEdit2", "DBCheckBox1",                                      // document
        "DBEdit3", "DBEdit4", "DBEdit5", "DBEdit6", "DBEdit7", "DBComboBox4", "DBEdit8", "DBEdit9",
        "DBEdit10", "DBEdit11",                                                                    // customer
        "DBEdit32",                                                                                // delivery
        "DBComboBox2", "DBComboBox3", "DBEdit12", "DBEdit13", "DBEdit14", "DBEdit15", "DBEdit16",  // payment
        "DBEdit18", "DBComboBox6", "DBEdit25", "DBEdit17", "DBEdit19", "DBEdit30", "DBComboBox7", "DBEdit26",
        "DBEdit22", "DBComboBox8", "DBEdit27", "DBEdit23", "DBEdit24", "DBEdit31", "DBComboBox9", "DBEdit28",
        "DBEdit33", "DBComboBox10", "DBEdit36", "DBEdit34", "DBEdit35", "DBEdit38", "DBComboBox11", "DBEdit37",
        "DBEdit40", "DBComboBox12", "DBEdit41", "DBEdit42", "DBComboBox13",                        // buckets
        "DBComboBox5", "DBEdit20", "DBEdit21", "DBEdit29",                                         // discount, total
        "DBGrid3", "groupNavigator", "DBGrid4", "documentNavigator", "BitBtn13", "BitBtn14"};
    control("DBComboBox1")->setFocus();
    QStringList seen;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget *w = QApplication::focusWidget();
        while (w && w->objectName().isEmpty())  // the edit part of a drop-down
            w = w->parentWidget();
        seen << (w ? w->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);  // walking through edits nothing
}

TEST_F(HeaderEditor, LinkedDocumentsTakeTheInvoiceAndTheirGroupThroughTheLinks)
{
    const int other = addInvoice({{"num_doc", "1"}});
    addInvoice({{"num_doc", "2"}});
    db->insert(QStringLiteral("test_dati"), {{"id_invio", other}, {"tipo", "DatiContratto"}});
    const int id = addInvoice({{"num_doc", "3"}});
    panel->open();
    auto *groups = control<DbGrid>("DBGrid3");
    auto *documents = control<DbGrid>("DBGrid4");
    EXPECT_EQ(groups->model()->rowCount(), 0);  // the other invoice's group is not shown
    EXPECT_EQ(groups->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Tipo"));
    QStringList titles;
    for (int c = 0; c < documents->model()->columnCount(); ++c)
        titles << documents->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, (QStringList{"N.Linea", "Documento", "Data", "Numero", "CUP", "CIG", "Codice Commessa"}));
    EXPECT_EQ(control<DbNavigator>("groupNavigator")->buttons(), (QList<B>{B::Insert, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}));
    EXPECT_EQ(control<DbNavigator>("documentNavigator")->buttons(), (QList<B>{B::Insert, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}));

    press("groupNavigator", B::Insert);
    typeInCell("DBGrid3", 0, 0, QStringLiteral("DatiContratto"));
    press("groupNavigator", B::Post);
    for (const auto &[line, document] : {std::pair{"1", "CTR-4/2026"}, std::pair{"2", "CTR-5/2026"}}) {
        press("documentNavigator", B::Insert);
        typeInCell("DBGrid4", documents->model()->rowCount() - 1, 0, QString::fromLatin1(line));
        typeInCell("DBGrid4", documents->model()->rowCount() - 1, 1, QString::fromLatin1(document));
        typeInCell("DBGrid4", documents->model()->rowCount() - 1, 2, QStringLiteral("15/01/2026"));
        typeInCell("DBGrid4", documents->model()->rowCount() - 1, 6, QStringLiteral("Z0A1B2C3D4"));
        press("documentNavigator", B::Post);
    }
    const QString stored = QStringLiteral("SELECT id_invio, tipo, n_linea, id_documento, data, cig FROM dati_acquisto ORDER BY n_linea");
    EXPECT_EQ(row(stored, 0), (QStringList{QString::number(id), "DatiContratto", "1", "CTR-4/2026", "15/01/2026", "<NULL>"}));
    EXPECT_EQ(row(stored, 1), (QStringList{QString::number(id), "DatiContratto", "2", "CTR-5/2026", "15/01/2026", "<NULL>"}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dati_acquisto WHERE cod_comm = 'Z0A1B2C3D4'")), 2);

    // A second group shows only its own documents.
    press("groupNavigator", B::Insert);
    typeInCell("DBGrid3", 1, 0, QStringLiteral("DatiOrdineAcquisto"));
    press("groupNavigator", B::Post);
    EXPECT_EQ(documents->model()->rowCount(), 0);
    press("documentNavigator", B::Insert);
    typeInCell("DBGrid4", 0, 1, QStringLiteral("ORD-9"));
    press("documentNavigator", B::Post);
    groups->setCurrentIndex(groups->model()->index(0, 0));
    EXPECT_EQ(diz->ContrattoT.text(QStringLiteral("tipo")), QStringLiteral("DatiContratto"));
    EXPECT_EQ(documents->model()->rowCount(), 2);
    groups->setCurrentIndex(groups->model()->index(1, 0));
    ASSERT_EQ(documents->model()->rowCount(), 1);
    EXPECT_EQ(documents->model()->index(0, 1).data().toString(), QStringLiteral("ORD-9"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dati_acquisto WHERE id_invio = %1 AND tipo = 'DatiOrdineAcquisto'").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM test_dati WHERE id_invio = %1").arg(id)), 2);

    // The group's kind is offered as a pick list.
    groups->setFocus();
    groups->setCurrentIndex(groups->model()->index(0, 0));
    groups->edit(groups->currentIndex());
    auto *picker = qobject_cast<QComboBox *>(QApplication::focusWidget());
    ASSERT_TRUE(picker);
    QStringList kinds;
    for (int i = 0; i < picker->count(); ++i)
        kinds << picker->itemText(i);
    EXPECT_EQ(kinds, (QStringList{"DatiOrdineAcquisto", "DatiContratto", "DatiConvenzione", "DatiRicezione", "DatiFattureCollegate"}));
    QTest::keyClick(picker, Qt::Key_Escape);
}

} // namespace
