// The issued-invoice workspace on the data module's shared tables against the test
// server: its controls and lists, sent invoices drawn white on red, the document
// commands ("Nuova", "Elimina Fattura", the XML writers, the import) and the Enter key.
#include "invoice/calcola_totali.h"
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "fixture_check_warnings.h"
#include "gui_test.h"
#include "ui/screens/elenco_fatt/header_panel.h"
#include "ui/screens/elenco_fatt/legend_panel.h"
#include "ui/screens/elenco_fatt/line_panel.h"
#include "management_rows.h"
#include "ui/kit/masked_date_edit.h"
#include "recording_opener.h"
#include "print/report_preview.h"
#include "settings/service_settings.h"
#include "ui/screens/st_fatt.h"
#include "invoice/stored_totals.h"
#include "invoice/testata_hooks.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <memory>

namespace {

using B = DbNavigator::Button;

const QColor Red(255, 0, 0);

class Workspace : public DataModuleTest {
protected:
    static void SetUpTestSuite() { openDataModule({.management = true, .beforeOpen = installTestataHooks}); }

    ExpectedBoxes boxes;
    QTemporaryDir dir{QStringLiteral("/tmp/ws-XXXXXX")};
    std::unique_ptr<TElenco_Fatt> window;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (DbTable *t : diz->tables())
            t->cancel();
        xml->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS testata_refuse_delete"));
        xml->sql().exec(QStringLiteral("DROP TRIGGER IF EXISTS testata_refuse_insert"));
        clearTables({"azienda", "testata", "dettaglio", "test_dati", "dati_acquisto"});
        clearManagementTables({"testata", "dettag"});
        insert(QStringLiteral("azienda"),
               {{"rag_soc", "Alfa & Beta S.r.l."}, {"p_iva", "01234567890"}, {"cod_fis", "01234567890"},
                {"reg_fisc", "RF02"}, {"indirizzo", "Via Roma, 10/A"}, {"cap", "00184"}, {"comune", "Roma"},
                {"prov", "RM"}, {"nazione", "IT"}, {"uff_rea", "RM"}, {"num_rea", "1234567"},
                {"capit_soc", "10000"}, {"soc_uni", "SM"}, {"stato_liq", "LN"}, {"mail", "info@alfabeta.it"},
                {"telefono", "0612345678"}, {"path", dir.path() + QLatin1Char('/')},
                {"iban", "IT60X0542811101000000123456"}});
        refreshAll();
        window = std::make_unique<TElenco_Fatt>(*diz);
        window->setWindowTitle(QStringLiteral("A"));
        showActive(*window);
    }
    void TearDown() override
    {
        window.reset();
        diz->Testata.setRefreshInterval(10000);
    }

    static void refreshAll()
    {
        for (DbTable *t : diz->tables())
            t->refresh();
        diz->AziendaT.first();
    }

    // An ordinary invoice whose data are valid for the FatturaPA schema.
    static int addInvoice(const Columns &overrides = {})
    {
        const Columns invoice{
            {"rag_soc", "Rossi Forniture S.p.A."}, {"indirizzo", "Corso Italia 5"}, {"comune", "Milano"},
            {"cap", "20122"}, {"prov", "MI"}, {"nazione", "IT"}, {"p_iva", "09876543210"}, {"cod_fis", ""},
            {"cod_dest", "ABC1234"}, {"pec", ""}, {"data_doc", "05/03/2026"}, {"num_doc", "12"},
            {"tot_doc", "122,00"}, {"tipo_doc", "TD01"}, {"tipo_pag", "TP02"}, {"mod_pag", "MP01"},
            {"n_rate", 0}, {"spese", "0,00"}, {"arrot", "0,00"}, {"spese2", "0,00"}, {"arrot2", "0,00"},
            {"spese3", "0,00"}, {"arrot3", "0,00"}, {"aliquota", "22"}, {"imponibile", "100,00"},
            {"imposta", "22,00"}, {"tot_omaggio", "0,00"}, {"sc_importo", "0,00"}, {"esig_iva", "I"}, {"esig_iva2", "I"}, {"esig_iva3", "I"}, {"sc_tipo", ""},
            {"sc_perc", ""}, {"natura", ""}, {"inviata", 0}};
        return insert(QStringLiteral("testata"), merged(invoice, overrides));
    }
    static void addLine(int idInvio, int prog)
    {
        insert(QStringLiteral("dettaglio"),
               {{"id_invio", idInvio}, {"prog", prog}, {"descrizione", "Consulenza"}, {"quantita", "1,00"},
                {"um", "NR"}, {"prezzo_unit", "100,000"}, {"prezzo_tot", "100,000"}, {"aliquota", "22"},
                {"sc_tipo", ""}, {"codice_tipo", ""}, {"ritenuta", ""}, {"natura", ""}, {"rif_amm", ""},
                {"categoria", ""}, {"lotto", ""}, {"origine", ""}});
    }
    // A 2026 invoice of the management database (register FV) of 100 at 22 %, with one line.
    static void addSourceDocument(int protocollo);
    // The first cell of the first row of a statement; "<no row>" when there is none.
    static QString stored(const QString &sql)
    {
        const DbResult r = xml->sql().select(sql);
        return r.rows.empty() ? QStringLiteral("<no row>") : QString::fromUtf8(r.rows.at(0).raw(0).toByteArray());
    }

    void select(int idInvio)
    {
        ASSERT_TRUE(diz->Testata.locate(QStringLiteral("id_invio"), idInvio));
    }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The pixels of the invoice list as drawn now.
    QImage invoiceListImage() { return window->invoiceGrid->viewport()->grab().toImage(); }
    QRect cellRect(int row, int column)
    {
        return window->invoiceGrid->visualRect(window->invoiceGrid->model()->index(row, column));
    }
};

// ---------------------------------------------------------------- the window

TEST_F(Workspace, HoldsEveryControlInItsOrderTopToBottom)
{
    TElenco_Fatt &w = *window;
    EXPECT_EQ(w.titleLabel->text(), QStringLiteral("Fattura Elettronica"));

    QStringList captions;
    for (QWidget *c : w.controlsInOrder()) {
        if (auto *b = qobject_cast<QPushButton *>(c))
            captions << b->text();
        else
            captions << c->objectName();
    }
    EXPECT_EQ(captions,
              (QStringList{"DBNavigator1", "Nuova", "Sel. Cliente", "Legenda", "Esito SDI", "DBGrid1", "DBNavigator2",
                           "Articoli Magazzino", "Ins. Riga", "Mod. Riga", "Elimina Riga", "Testata Doc.", "DBGrid2",
                           "Creazione File XML", "Invio a SDI", "XML P.A.", "Invio P.A.", "Importa Fatture", "M1",
                           "Invio Fatture al SDI", "Elimina Fattura", "Stampa", "Visualizza"}));

    // Rows go downwards, and within a row each control stands right of the one before.
    const QList<QWidget *> controls = w.controlsInOrder();
    for (int i = 1; i < controls.size(); ++i) {
        const QRect before = controls[i - 1]->geometry(), now = controls[i]->geometry();
        if (now.top() == before.top())
            EXPECT_GT(now.left(), before.right()) << captions[i].toStdString();
        else
            EXPECT_GE(now.top(), before.bottom()) << captions[i].toStdString();
    }
    EXPECT_LT(w.titleLabel->geometry().bottom(), w.headerNavigator->geometry().top());

    // The navigators: no insert button on either, no delete on the lines.
    EXPECT_EQ(w.headerNavigator->buttons(),
              (QList<B>{B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh}));
    EXPECT_EQ(w.lineNavigator->buttons(),
              (QList<B>{B::First, B::Prior, B::Next, B::Last, B::Edit, B::Post, B::Cancel, B::Refresh}));
    EXPECT_EQ(&w.headerNavigator->table(), &diz->Testata);
    EXPECT_EQ(&w.lineNavigator->table(), &diz->Detta);

    // The panels belong to the window and start hidden.
    EXPECT_EQ(w.findChild<QWidget *>(QStringLiteral("P2")), w.legendPanel);
    EXPECT_EQ(w.findChild<QWidget *>(QStringLiteral("P3")), w.linePanel);
    EXPECT_EQ(w.findChild<QWidget *>(QStringLiteral("P4")), w.headerPanel);
    EXPECT_FALSE(w.legendPanel->isVisible() || w.linePanel->isVisible() || w.headerPanel->isVisible());
}

TEST_F(Workspace, ThePanelsLieWhereTheyBelong)
{
    TElenco_Fatt &w = *window;
    const QRect lines = w.linePanel->geometry();
    // The line editor covers the top row and the invoice list, not the middle row nor the lines.
    EXPECT_TRUE(lines.contains(w.headerNavigator->geometry()));
    EXPECT_TRUE(lines.contains(w.legendaButton->geometry()));
    EXPECT_TRUE(lines.contains(w.invoiceGrid->geometry()));
    EXPECT_FALSE(lines.intersects(w.lineNavigator->geometry()));
    EXPECT_FALSE(lines.intersects(w.insRigaButton->geometry()));
    EXPECT_FALSE(lines.intersects(w.lineGrid->geometry()));
    // The header editor covers the whole working area.
    for (QWidget *c : w.controlsInOrder())
        EXPECT_TRUE(w.headerPanel->geometry().contains(c->geometry())) << c->objectName().toStdString();
    // The legend lies over the right-hand part, above the panels below it in stacking order.
    EXPECT_GT(w.legendPanel->geometry().left(), w.width() / 2);
    EXPECT_TRUE(w.legendPanel->geometry().intersects(w.invoiceGrid->geometry()));
    const QObjectList children = w.children();
    EXPECT_GT(children.indexOf(w.headerPanel), children.indexOf(w.stampaButton));
    EXPECT_GT(children.indexOf(w.linePanel), children.indexOf(w.invoiceGrid));
}

TEST_F(Workspace, TheInvoiceListShowsItsColumnsAndEditsAllButProtInPlace)
{
    addInvoice({{"num_doc", "7"}});
    diz->Testata.refresh();
    QAbstractItemModel *m = window->invoiceGrid->model();

    struct Column {
        const char *title;
        Qt::Alignment alignment;
        QStringList picks;
    };
    const QList<Column> expected{
        {"Id. Invio", Qt::AlignLeft, {}},
        {"Prot.", Qt::AlignLeft, {}},
        {"Tipo Doc.", Qt::AlignHCenter, {"TD01", "TD04", "TD05"}},
        {"Data Doc.", Qt::AlignHCenter, {}},
        {"N. Doc", Qt::AlignRight, {}},
        {"Totale", Qt::AlignRight, {}},
        {"Tipo Pag.", Qt::AlignHCenter, {"TP01", "TP02"}},
        {"Mod. Pag.", Qt::AlignHCenter, {"MP01", "MP02", "MP05", "MP12"}},
        {"Ragione Sociale", Qt::AlignLeft, {}},
        {"Trasportatore", Qt::AlignLeft, {}},
        {"indirizzo", Qt::AlignLeft, {}},  // no title: the column's name
        {"CAP", Qt::AlignLeft, {}},
        {"Comune", Qt::AlignLeft, {}},
        {"Prov", Qt::AlignLeft, {}},
        {"Nazione", Qt::AlignLeft, {}},
        {"Partita Iva", Qt::AlignLeft, {}},
        {"Codice Fiscale", Qt::AlignLeft, {}},
        {"Cod. Destin.", Qt::AlignLeft, {}},
        {"Casella PEC", Qt::AlignLeft, {}},
        {"dest_soc", Qt::AlignLeft, {}},
        {"dest_indir", Qt::AlignLeft, {}},
        {"dest_cap", Qt::AlignLeft, {}},
        {"dest_comune", Qt::AlignLeft, {}},
    };
    ASSERT_EQ(m->columnCount(), expected.size());
    const DbGridModel &grid = window->invoiceGrid->gridModel();
    for (int c = 0; c < expected.size(); ++c) {
        SCOPED_TRACE(expected[c].title);
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(expected[c].title));
        EXPECT_EQ(m->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                  expected[c].alignment);
        EXPECT_EQ(grid.column(c).pickList, expected[c].picks);
        // Every column but the key and the calculated protocol number is edited in place.
        EXPECT_EQ(bool(m->flags(m->index(0, c)) & Qt::ItemIsEditable), c > 1);
    }
    EXPECT_EQ(m->index(0, 4).data().toString(), QStringLiteral("7"));
    EXPECT_EQ(m->index(0, 1).data().toString(), diz->Testata.text(QStringLiteral("id_invio")));

    // Typing into a cell edits the current header; leaving the row stores it.
    addInvoice();
    diz->Testata.refresh();
    DbGrid *list = window->invoiceGrid;
    list->setFocus();
    list->setCurrentIndex(m->index(0, 9));
    QTest::keyClicks(list, QStringLiteral("C"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("orriere"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Edit);
    list->setCurrentIndex(m->index(1, 9));
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE trasporto = 'Corriere'")), 1);
}

TEST_F(Workspace, TheLineListIsReadOnlyAndSelectsWholeLinesAlsoWithoutFocus)
{
    const int id = addInvoice();
    addLine(id, 1);
    addLine(id, 2);
    refreshAll();
    select(id);
    DbGrid *lines = window->lineGrid;
    QAbstractItemModel *m = lines->model();
    const QStringList titles{"Prog",      "Descrizione", "UM",        "Quantita",    "Prezzo Unit.",
                             "Imp. Totale", "Aliquota",  "natura",    "Premio/Abb",  "Tipo Sc.",
                             "Perc. Sc.", "Importo Sc.", "Tipo Cod.", "Valore Cod."};
    const QList<Qt::Alignment> alignments{Qt::AlignLeft,    Qt::AlignLeft,    Qt::AlignHCenter, Qt::AlignRight,
                                          Qt::AlignRight,   Qt::AlignRight,   Qt::AlignHCenter, Qt::AlignLeft,
                                          Qt::AlignLeft,    Qt::AlignHCenter, Qt::AlignRight,   Qt::AlignRight,
                                          Qt::AlignLeft,    Qt::AlignLeft};
    ASSERT_EQ(m->columnCount(), titles.size());
    ASSERT_EQ(m->rowCount(), 2);
    for (int c = 0; c < titles.size(); ++c) {
        EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), titles[c]);
        EXPECT_EQ(m->index(0, c).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                  alignments[c])
            << titles[c].toStdString();
        EXPECT_FALSE(m->flags(m->index(0, c)) & Qt::ItemIsEditable);
    }
    EXPECT_EQ(lines->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(lines->editTriggers(), QAbstractItemView::NoEditTriggers);
    lines->setFocus();
    lines->setCurrentIndex(m->index(1, 3));
    EXPECT_EQ(diz->Detta.currentIndex(), 1);
    EXPECT_TRUE(lines->selectionModel()->isRowSelected(1, {}));
    // Typing starts no editing; the selection keeps its colour when the focus goes.
    QTest::keyClicks(lines, QStringLiteral("9"));
    EXPECT_EQ(diz->Detta.state(), DbTable::State::Browse);
    EXPECT_EQ(lines->palette().color(QPalette::Inactive, QPalette::Highlight),
              lines->palette().color(QPalette::Active, QPalette::Highlight));
    window->nuovaButton->setFocus();
    const QImage image = lines->viewport()->grab().toImage();
    const QRect cell = lines->visualRect(m->index(1, 1));
    EXPECT_EQ(image.pixelColor(cell.right() - 2, cell.center().y()),
              lines->palette().color(QPalette::Active, QPalette::Highlight));
}

// ---------------------------------------------------------------- sent invoices in red

TEST_F(Workspace, ASentInvoiceIsDrawnWhiteOnRedInEveryColumnAndReturnsToNormalWhenCleared)
{
    const int unsent = addInvoice({{"num_doc", "1"}});
    const int sent = addInvoice({{"num_doc", "22"}, {"inviata", 1}});
    addInvoice({{"num_doc", "3"}, {"inviata", QVariant()}});
    diz->Testata.refresh();
    select(unsent);
    QApplication::processEvents();

    QImage image = invoiceListImage();
    const int columns = window->invoiceGrid->model()->columnCount();
    for (int c = 0; c < columns; ++c) {
        if (window->invoiceGrid->columnViewportPosition(c) + window->invoiceGrid->columnWidth(c) > image.width())
            break;  // columns scrolled out of sight
        const QRect r = cellRect(1, c);
        EXPECT_EQ(image.pixelColor(r.right() - 1, r.bottom() - 1), Red) << "column " << c;
        EXPECT_EQ(image.pixelColor(r.left() + 1, r.top() + 1), Red) << "column " << c;
        EXPECT_NE(image.pixelColor(cellRect(0, c).right() - 1, cellRect(0, c).bottom() - 1), Red);
        EXPECT_NE(image.pixelColor(cellRect(2, c).right() - 1, cellRect(2, c).bottom() - 1), Red);
    }
    // The number, right-aligned in normal rows, is written in white from 2 pixels in at the left.
    auto whiteColumns = [&](const QImage &img, const QRect &r) {
        QList<int> xs;
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y) {
                const QColor p = img.pixelColor(x, y);
                if (p.red() == 255 && p.green() > 200 && p.blue() > 200) {
                    xs << x - r.left();
                    break;
                }
            }
        return xs;
    };
    const QList<int> white = whiteColumns(image, cellRect(1, 4));
    ASSERT_FALSE(white.isEmpty());
    EXPECT_GE(white.first(), 2);
    EXPECT_LT(white.last(), cellRect(1, 4).width() / 2);

    // Selected, it stays red.
    select(sent);
    QApplication::processEvents();
    image = invoiceListImage();
    EXPECT_TRUE(window->invoiceGrid->selectionModel()->isSelected(window->invoiceGrid->currentIndex()));
    EXPECT_EQ(image.pixelColor(cellRect(1, 4).right() - 1, cellRect(1, 4).bottom() - 1), Red);
    EXPECT_EQ(image.pixelColor(cellRect(1, 8).right() - 1, cellRect(1, 8).bottom() - 1), Red);

    // Cleared (here through the table, as the header editor does), the row is drawn normally again.
    diz->Testata.setValue(QStringLiteral("inviata"), 0);
    diz->Testata.post();
    QApplication::processEvents();
    image = invoiceListImage();
    EXPECT_NE(image.pixelColor(cellRect(1, 8).right() - 1, cellRect(1, 8).bottom() - 1), Red);
    EXPECT_EQ(stored(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = %1").arg(sent)), QStringLiteral("0"));
}

TEST_F(Workspace, AnInvoiceMarkedSentOnTheServerTurnsRedAtTheNextPeriodicReRead)
{
    const int id = addInvoice();
    addInvoice();
    diz->Testata.refresh();
    diz->Testata.last();  // the flagged invoice is not the current one
    diz->Testata.setRefreshInterval(200);
    QApplication::processEvents();
    EXPECT_NE(invoiceListImage().pixelColor(cellRect(0, 2).right() - 1, cellRect(0, 2).bottom() - 1), Red);

    xml->sql().exec(QStringLiteral("UPDATE testata SET inviata = 1 WHERE id_invio = %1").arg(id));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return invoiceListImage().pixelColor(cellRect(0, 2).right() - 1, cellRect(0, 2).bottom() - 1) == Red;
    }, 3000));
}

// ---------------------------------------------------------------- "Nuova"

TEST_F(Workspace, NuovaTwiceStoresTwoHeadersWithTheDefaultsAndLeavesTheLastCurrent)
{
    const int existing = addInvoice();
    addLine(existing, 1);
    refreshAll();
    select(existing);
    click(window->nuovaButton);
    click(window->nuovaButton);

    const DbResult r = xml->sql().select(QStringLiteral(
        "SELECT id_invio, tipo_doc, tipo_pag, mod_pag, esig_iva, esig_iva2, esig_iva3, causale, trasporto, porto, "
        "aspetto, colli, spese, spese2, spese3, arrot, arrot2, arrot3, esig_iva4, num_doc, data_doc, tot_doc, "
        "rag_soc, inviata FROM testata WHERE id_invio <> %1 ORDER BY id_invio")
                                                  .arg(existing));
    ASSERT_EQ(r.rows.size(), 2u);
    const QStringList defaults{"TD01", "TP02",  "MP01",   "I",    "I",    "I",   "Vendita", "Vettore", "Franco",
                               "Cartoni, Imballi", "", "0,00", "0,00", "0,00", "0,00", "0,00", "0,00"};
    for (const DbRow &row : r.rows) {
        for (int c = 0; c < defaults.size(); ++c)
            EXPECT_EQ(QString::fromUtf8(row.raw(c + 1).toByteArray()), defaults[c]) << r.fields[size_t(c + 1)].name.toStdString();
        for (int c = defaults.size() + 1; c < int(r.fields.size()); ++c)
            EXPECT_TRUE(row.isNull(c)) << r.fields[size_t(c)].name.toStdString();
    }
    const int newest = r.rows[1].raw(0).toInt();
    EXPECT_GT(newest, r.rows[0].raw(0).toInt());
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), newest);
    EXPECT_EQ(window->invoiceGrid->currentIndex().row(), 2);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("prot")), QString::number(newest));
    EXPECT_EQ(diz->Detta.rowCount(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
}

TEST_F(Workspace, ANewHeaderTheServerRefusesIsNotLeftPendingSoNoLineCanJoinIt)
{
    const int existing = addInvoice();
    addLine(existing, 1);
    refreshAll();
    select(existing);
    xml->sql().exec(QStringLiteral("CREATE TRIGGER testata_refuse_insert BEFORE INSERT ON testata FOR EACH ROW "
                                   "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'testata piena'"));
    // The invoice list hears of the new row alone, never of every row.
    QSignalSpy resets(&window->invoiceGrid->gridModel(), &QAbstractItemModel::modelReset);

    boxes.expectError();
    click(window->nuovaButton);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("testata piena"))) << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(diz->Testata.rowCount(), 1);
    EXPECT_EQ(window->invoiceGrid->model()->rowCount(), 1);
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), existing);
    EXPECT_EQ(diz->Detta.rowCount(), 1);

    // Once the server takes headers again the same button stores one.
    xml->sql().exec(QStringLiteral("DROP TRIGGER testata_refuse_insert"));
    click(window->nuovaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 2);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);
    EXPECT_EQ(window->invoiceGrid->model()->rowCount(), 2);
    EXPECT_EQ(resets.count(), 0);
}

// ---------------------------------------------------------------- "Elimina Fattura"

TEST_F(Workspace, EliminaFatturaRefusesASentInvoiceAndAsksBeforeDeletingAnotherWithItsLinesOnly)
{
    const int sent = addInvoice({{"inviata", 1}});
    const int keep = addInvoice();
    const int gone = addInvoice();
    for (int id : {sent, keep, gone}) {
        addLine(id, 1);
        addLine(id, 2);
    }
    xml->insert(QStringLiteral("test_dati"), {{"id_invio", gone}, {"tipo", "DatiContratto"}});
    xml->insert(QStringLiteral("dati_acquisto"), {{"id_invio", gone}, {"tipo", "DatiContratto"}, {"id_documento", "C1"}});
    refreshAll();

    // Sent: refused without a question.
    select(sent);
    boxes.expectInform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
    click(window->eliminaFatturaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 6);

    // Answered No: nothing changes.
    select(gone);
    boxes.expectConfirm(QStringLiteral("Confermi Eliminazione Fattura: ?"), false);
    click(window->eliminaFatturaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 6);
    EXPECT_EQ(diz->Detta.rowCount(), 2);

    // Answered Yes: the header and its lines go; other invoices and the linked documents stay.
    // The invoice list loses one row and is not shown anew.
    QSignalSpy resets(&window->invoiceGrid->gridModel(), &QAbstractItemModel::modelReset);
    boxes.expectConfirm(QStringLiteral("Confermi Eliminazione Fattura: ?"), true);
    click(window->eliminaFatturaButton);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(gone)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(gone)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 4);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM test_dati WHERE id_invio = %1").arg(gone)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dati_acquisto WHERE id_invio = %1").arg(gone)), 1);
    EXPECT_EQ(diz->Testata.rowCount(), 2);
    // The list moves to the neighbouring invoice, whose lines show.
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), keep);
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_EQ(window->invoiceGrid->model()->rowCount(), 2);
}

TEST_F(Workspace, WhenTheHeaderCannotBeDeletedTheLinesStayToo)
{
    const int id = addInvoice();
    addLine(id, 1);
    addLine(id, 2);
    refreshAll();
    select(id);
    xml->sql().exec(QStringLiteral("CREATE TRIGGER testata_refuse_delete BEFORE DELETE ON testata FOR EACH ROW "
                                   "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'testata protetta'"));

    boxes.expectConfirm(QStringLiteral("Confermi Eliminazione Fattura: ?"), true);
    boxes.expectError();
    click(window->eliminaFatturaButton);
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_TRUE(boxes.shown()[1].text.contains(QStringLiteral("testata protetta"))) << boxes.shown()[1].text.toStdString();

    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(id)), 2);
    // The tables hold what the server holds again.
    EXPECT_EQ(diz->Testata.rowCount(), 1);
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), id);
    EXPECT_EQ(diz->Detta.rowCount(), 2);
    EXPECT_FALSE(diz->xml_conn.inTransaction());
}

TEST_F(Workspace, TheNavigatorsDeleteAsksThenSparesASentInvoiceAndTakesAnUnsentOneWithItsLines)
{
    const int sent = addInvoice({{"inviata", 1}});
    const int unsent = addInvoice();
    for (int id : {sent, unsent})
        addLine(id, 1);
    refreshAll();
    QToolButton *deleteButton = window->headerNavigator->button(B::Delete);

    select(sent);
    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    boxes.expectInform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
    click(deleteButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(sent)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(sent)), 1);

    // Ctrl+Delete in the list is the same delete.
    window->invoiceGrid->setFocus();
    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    boxes.expectInform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
    QTest::keyClick(window->invoiceGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(sent)), 1);

    select(unsent);
    boxes.expectOkCancel(QStringLiteral("Delete record?"), false);
    click(deleteButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 2);

    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    click(deleteButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(unsent)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(unsent)), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
}

TEST_F(Workspace, InviataTickedInTheHeaderEditorTurnsTheInvoiceRedAndDeletesRefuseIt)
{
    addInvoice({{"num_doc", "1"}});
    const int id = addInvoice({{"num_doc", "2"}});
    addLine(id, 1);
    refreshAll();
    select(id);
    QApplication::processEvents();
    const QRect cell = cellRect(1, 8);
    EXPECT_NE(invoiceListImage().pixelColor(cell.right() - 1, cell.bottom() - 1), Red);

    // "Testata Doc." opens the header editor over the window; the user ticks "Inviata"
    // and registers.
    click(window->testataDocButton);
    ASSERT_TRUE(window->headerPanel->isVisible());
    auto *inviata = window->headerPanel->findChild<QCheckBox *>(QStringLiteral("DBCheckBox1"));
    ASSERT_TRUE(inviata);
    EXPECT_EQ(inviata->text(), QStringLiteral("Inviata"));
    QTest::mouseClick(inviata, Qt::LeftButton, {}, QPoint(5, inviata->height() / 2));
    click(window->headerPanel->findChild<QPushButton *>(QStringLiteral("BitBtn13")));
    EXPECT_FALSE(window->headerPanel->isVisible());
    EXPECT_EQ(stored(QStringLiteral("SELECT inviata FROM testata WHERE id_invio = %1").arg(id)), QStringLiteral("1"));

    // The row is drawn white on red at once, and neither delete takes the invoice or its line.
    QApplication::processEvents();
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), id);
    EXPECT_EQ(invoiceListImage().pixelColor(cell.right() - 1, cell.bottom() - 1), Red);
    boxes.expectInform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
    click(window->eliminaFatturaButton);
    boxes.expectOkCancel(QStringLiteral("Delete record?"), true);
    boxes.expectInform(QStringLiteral("Operazione non possibile... Fattura Inviata"));
    click(window->headerNavigator->button(B::Delete));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE id_invio = %1").arg(id)), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio WHERE id_invio = %1").arg(id)), 1);
}

// ---------------------------------------------------------------- showing, legend, Enter

TEST_F(Workspace, EachShowingHidesThePanelsAndPutsTodaysDateIntoM1)
{
    const QString today = QDate::currentDate().toString(QStringLiteral("dd/MM/yy"));
    EXPECT_EQ(window->importDateField->maskedText(), today);

    click(window->legendaButton);
    EXPECT_TRUE(window->legendPanel->isVisible());
    window->linePanel->show();
    window->headerPanel->show();
    window->importDateField->setMaskedText(QStringLiteral("01/02/25"));

    window->hide();
    showActive(*window);
    EXPECT_EQ(window->importDateField->maskedText(), today);
    EXPECT_FALSE(window->legendPanel->isVisible());
    EXPECT_FALSE(window->linePanel->isVisible());
    EXPECT_FALSE(window->headerPanel->isVisible());
}

TEST_F(Workspace, TheLegendShowsItsFixedTextAndClosesWithChiudi)
{
    click(window->legendaButton);
    LegendPanel *legend = window->legendPanel;
    ASSERT_TRUE(legend->isVisible());
    QStringList texts;
    for (QLabel *label : legend->findChildren<QLabel *>())
        texts << label->text();
    EXPECT_EQ(texts, (QStringList{"LEGENDA", "Tipo Documento:", "TD01 - Fattura", "TD04 - Nota Credito",
                                  "TD05 - Nota Debito", "TD20 - AutoFattura", "Tipo Pagamento:", "TP01 - A Rate",
                                  "TP02 - Completo", QString::fromUtf8("Modalità di Pag."), "MP01 - Contanti",
                                  "MP02 - Assegno", "MP05 - Bonifico", "MP12 - Ri.Ba.", "Esigibilta Iva:",
                                  "I - Immediata", "D - Differita", "Natura Iva:", "N1 - Escluse ex art.15",
                                  "N2 - Non Soggette", "N3 - Non Imponibili", "N4 - Esenti",
                                  "N5 - Regime del Margine", "N6 - Reverse Charge", "Colori Fatture:", "Rosso - Inviata",
                                  "Arancione - Scartata da SDI: correggere e reinviare", "Viola - Rifiutata dalla P.A."}));
    EXPECT_EQ(legend->closeButton->text(), QStringLiteral("Chiudi"));
    EXPECT_EQ(legend->closeButton->objectName(), QStringLiteral("BitBtn2"));
    click(legend->closeButton);
    EXPECT_FALSE(legend->isVisible());
}

TEST_F(Workspace, EnterMovesTheFocusToTheNextControlInBothListsAndNeverSubmits)
{
    const int id = addInvoice();
    addInvoice();
    addLine(id, 1);
    addLine(id, 2);
    refreshAll();
    select(id);
    TElenco_Fatt &w = *window;

    w.invoiceGrid->setFocus();
    QTest::keyClick(w.invoiceGrid, Qt::Key_Return);
    EXPECT_TRUE(w.lineNavigator->hasFocus());
    EXPECT_EQ(diz->Testata.currentIndex(), 0);
    EXPECT_EQ(diz->Testata.state(), DbTable::State::Browse);

    // Enter in a cell being edited keeps the typed value pending and leaves the list too.
    w.invoiceGrid->setFocus();
    w.invoiceGrid->setCurrentIndex(w.invoiceGrid->model()->index(0, 9));
    QTest::keyClicks(w.invoiceGrid, QStringLiteral("X"));
    QWidget *editor = QApplication::focusWidget();
    ASSERT_NE(editor, w.invoiceGrid);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(w.lineNavigator->hasFocus()) << QApplication::focusWidget()->metaObject()->className();
    EXPECT_EQ(diz->Testata.currentIndex(), 0);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("trasporto")), QStringLiteral("X"));
    diz->Testata.cancel();

    w.lineGrid->setFocus();
    QTest::keyClick(w.lineGrid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(w.creaXmlButton->hasFocus());
    EXPECT_EQ(diz->Detta.currentIndex(), 0);
    // Shift+Enter goes back.
    QTest::keyClick(w.creaXmlButton, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(w.lineGrid->hasFocus());

    // A button takes Enter as Tab too: "Nuova" stores nothing.
    w.nuovaButton->setFocus();
    QTest::keyClick(w.nuovaButton, Qt::Key_Return);
    EXPECT_TRUE(w.selClienteButton->hasFocus());
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 2);

    w.importDateField->setFocus();
    QTest::keyClick(w.importDateField, Qt::Key_Return);
    EXPECT_TRUE(w.invioFattureButton->hasFocus());
}

// ---------------------------------------------------------------- the XML writers

TEST_F(Workspace, CreazioneFileXmlWritesTheCurrentInvoicesFileAndStoresItsName)
{
    addInvoice();
    const int id = addInvoice({{"num_doc", "13"}});
    addLine(id, 1);
    refreshAll();
    select(id);
    // The fixture's VAT numbers and fiscal code fail their check digit: the file is written
    // and the box lists the formal warnings, apart, under their heading.
    boxes.expectInform(QStringLiteral("File XML scritto.\n\n") + fixtureCheckWarnings(QStringLiteral("p")));
    click(window->creaXmlButton);

    const QString name = stored(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id));
    EXPECT_TRUE(name.startsWith(QStringLiteral("IT01234567890_"))) << name.toStdString();
    EXPECT_TRUE(name.endsWith(QStringLiteral(".xml")));
    QFile file(dir.path() + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.contains("FPR12"));
    EXPECT_TRUE(content.contains("<Numero>13</Numero>"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file IS NOT NULL")), 1);
    EXPECT_EQ(diz->Testata.text(QStringLiteral("nome_file")), name);

    // "XML P.A." writes the public-administration form of the same file; the pre-send check
    // then reports that a public administration's recipient code has 6 characters, not 7,
    // with the same warnings apart after it, and the file stays written.
    boxes.expectInform(QStringLiteral(
        "File XML scritto, ma SDI lo scarterebbe:\n"
        "00427 /ns3:FatturaElettronica/FatturaElettronicaHeader/DatiTrasmissione/CodiceDestinatario: "
        "CodiceDestinatario \"ABC1234\" di 7 caratteri con FormatoTrasmissione FPA12: ne servono 6\n\n")
        + fixtureCheckWarnings(QStringLiteral("ns3")));
    click(window->xmlPaButton);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("FPA12"));
}

TEST_F(Workspace, AWritersErrorReachesTheGeneralErrorBox)
{
    const int id = addInvoice();
    addLine(id, 1);
    xml->sql().exec(QStringLiteral("UPDATE azienda SET path = '/nonexistent-folder/'"));
    refreshAll();
    select(id);
    boxes.expectError(QStringLiteral("Invalid filename"));
    click(window->creaXmlButton);
}

// Totals changed on the server behind the program's back: both writers' buttons show the
// refusal in the general error box (no "File XML scritto."), write no file and store no
// name; once the totals are recomputed (as "Registra" does), the file is written.
TEST_F(Workspace, TotalsThatAreNotThoseOfTheLinesAreRefusedInTheErrorBox)
{
    const int id = addInvoice({{"nome_file", "old.xml"}});
    addLine(id, 1);
    xml->sql().exec(QStringLiteral("UPDATE testata SET tot_doc = '99,00' WHERE id_invio = ?"), {id});
    refreshAll();
    select(id);
    for (QPushButton *button : {window->creaXmlButton, window->xmlPaButton}) {
        boxes.expectError(StoredTotals::mismatchMessage({QStringLiteral("tot_doc")}));
        click(button);
        EXPECT_EQ(stored(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id)), QStringLiteral("old.xml"));
        EXPECT_EQ(diz->Testata.text(QStringLiteral("nome_file")), QStringLiteral("old.xml"));
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    CalcolaTotali(*diz);
    EXPECT_EQ(stored(QStringLiteral("SELECT tot_doc FROM testata WHERE id_invio = %1").arg(id)), QStringLiteral("122,00"));
    boxes.expectInform(QStringLiteral("File XML scritto.\n\n") + fixtureCheckWarnings(QStringLiteral("p")));
    click(window->creaXmlButton);
    EXPECT_TRUE(stored(QStringLiteral("SELECT nome_file FROM testata WHERE id_invio = %1").arg(id)).startsWith(QStringLiteral("IT01234567890_")));
}

// ---------------------------------------------------------------- the hand-over buttons

// Each button runs its own command on the shared list: "Invio a SDI" and "Invio P.A." open
// their script for the current invoice, "Invio Fatture al SDI" every unsent one in order
// and gives the whole list back; the sent invoice is refused without a question.
TEST_F(Workspace, TheHandOverButtonsRunTheirOwnCommands)
{
    RecordingOpener opener;
    const QString base = serviceBaseUrl(loadServiceSettings()) + QStringLiteral("/Fatt_Ven/");
    QList<int> ids;
    for (const QVariant &sent : {QVariant(0), QVariant(), QVariant(1)}) {
        const int id = addInvoice({{"inviata", sent}});
        const QString name = QStringLiteral("IT01234567890_%1.xml").arg(id, 5, 10, QLatin1Char('0'));
        xml->sql().exec(QStringLiteral("UPDATE testata SET nome_file = ? WHERE id_invio = ?"), {name, id});
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<xml/>");
        ids << id;
    }
    auto address = [&](const char *script, int id) {
        return base + QLatin1String(script)
            + QStringLiteral("?nome_file=IT01234567890_%1.xml&n_invio=%2").arg(id, 5, 10, QLatin1Char('0')).arg(id);
    };
    refreshAll();

    select(ids[0]);
    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    click(window->invioSdiButton);
    select(ids[1]);
    boxes.expectConfirm(QStringLiteral("Confermi invio a SDI ?"), true);
    click(window->invioPaButton);
    select(ids[2]);
    boxes.expectInform(QStringLiteral("Fattura gia inviata"));
    click(window->invioSdiButton);
    EXPECT_EQ(opener.addresses, (QStringList{address("mail_sdi.php", ids[0]), address("mail_sdi_pa.php", ids[1])}));

    opener.addresses.clear();
    boxes.expectConfirm(QStringLiteral("Confermi invio Fatture al SDI: ?"), true);
    click(window->invioFattureButton);
    EXPECT_EQ(opener.addresses, (QStringList{address("mail_sdi.php", ids[0]), address("mail_sdi.php", ids[1])}));
    EXPECT_EQ(diz->Testata.rowCount(), 3);
    EXPECT_EQ(diz->Testata.currentIndex(), 0);
    EXPECT_EQ(window->invoiceGrid->gridModel().rowCount(), 3);
}

// ---------------------------------------------------------------- "Stampa"

TEST_F(Workspace, StampaPreviewsTheCurrentInvoiceAndAnInvoiceThatCannotBeRenderedGivesMancanzaDati)
{
    TSt_Fatt layouts(*diz);
    St_Fatt = &layouts;
    const std::unique_ptr<TSt_Fatt *, void (*)(TSt_Fatt **)> restore(&St_Fatt, [](TSt_Fatt **p) { *p = nullptr; });

    const int dated = addInvoice({{"num_doc", "7"}, {"data_doc", "31/12/2025"}});
    const int undated = addInvoice({{"num_doc", "8"}, {"data_doc", ""}});
    const int unreadable = addInvoice({{"num_doc", "9"}, {"data_doc", "32/01/2026"}});
    for (int id : {dated, undated, unreadable})
        addLine(id, 1);
    refreshAll();

    // Clicks "Stampa" and closes the modal preview if one opens; returns the previews seen
    // and the page count of the last one.
    auto stampa = [&] {
        int shown = 0;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto *p = qobject_cast<Report::ReportPreview *>(QApplication::activeModalWidget())) {
                ++shown;
                EXPECT_EQ(p->pageCount(), 1);
                p->findChild<QAction *>(QStringLiteral("chiudi"))->trigger();
            }
        });
        watch.start(20);
        click(window->stampaButton);
        return shown;
    };

    select(dated);
    EXPECT_EQ(stampa(), 1);

    for (int id : {undated, unreadable}) {
        SCOPED_TRACE(id);
        select(id);
        boxes.expect(ScriptedMessages::Kind::Inform);
        EXPECT_EQ(stampa(), 0);
        EXPECT_EQ(boxes.pending(), 0);
        // "Mancanza Dati" first, then which datum.
        EXPECT_TRUE(boxes.shown().constLast().text.startsWith(QStringLiteral("Mancanza Dati\nData Documento ")))
            << boxes.shown().constLast().text.toStdString();
    }
    // Nothing changed: the invoice is still current and unsent, nothing pending.
    EXPECT_EQ(diz->Testata.asInteger(QStringLiteral("id_invio")), unreadable);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 3);
}

// ---------------------------------------------------------------- "Importa Fatture"

void Workspace::addSourceDocument(int protocollo)
{
    norva->insert(QStringLiteral("testata"), merged(managementDocument(protocollo), {{"rag_soc", "Alimentari Ferri"}}));
    norva->insert(QStringLiteral("dettag"), managementLine(protocollo));
}

TEST_F(Workspace, ImportaFattureShowsItsProgressAndStopsBetweenTwoDocumentsLeavingEachWhole)
{
    for (int p = 1; p <= 3; ++p)
        addSourceDocument(p);
    // The user presses the stop button once the first document is done.
    QList<int> seen;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        auto *progress = window->findChild<QProgressDialog *>(QStringLiteral("importProgress"));
        if (!progress || !progress->isVisible())
            return;
        if (seen.isEmpty() || seen.last() != progress->value())
            seen << progress->value();
        EXPECT_EQ(progress->maximum(), 3);
        if (progress->value() == 1)
            progress->cancel();
    });
    stopper.start(0);

    boxes.expectConfirm(QStringLiteral("Confermi importazione Fatture: ?"), true);
    click(window->importaButton);
    stopper.stop();

    EXPECT_EQ(seen, (QList<int>{0, 1}));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 1);
    EXPECT_EQ(stored(QStringLiteral("SELECT num_doc FROM testata")), QStringLiteral("1I"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 1);
    const QString name = stored(QStringLiteral("SELECT nome_file FROM testata"));
    EXPECT_TRUE(QFile::exists(dir.path() + QLatin1Char('/') + name)) << name.toStdString();
    EXPECT_EQ(window->findChild<QProgressDialog *>(), nullptr);
    // The imported invoice is the current one of the list.
    EXPECT_EQ(diz->Testata.text(QStringLiteral("num_doc")), QStringLiteral("1I"));

    // A second run brings over the rest, each document whole; the dialog counts all three.
    boxes.expectConfirm(QStringLiteral("Confermi importazione Fatture: ?"), true);
    click(window->importaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM dettaglio")), 3);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata WHERE nome_file IS NULL")), 0);
}

TEST_F(Workspace, ImportaFattureAnsweredNoOrStoppedByAnErrorLeavesNoProgressOpen)
{
    addSourceDocument(1);
    boxes.expectConfirm(QStringLiteral("Confermi importazione Fatture: ?"), false);
    click(window->importaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 0);
    EXPECT_EQ(window->findChild<QProgressDialog *>(), nullptr);

    // An empty date field stops the import at the first document; the error box follows
    // the closed progress dialog.
    window->importDateField->setMaskedText(QStringLiteral("  /  /  "));
    boxes.expectConfirm(QStringLiteral("Confermi importazione Fatture: ?"), true);
    boxes.expectError(QStringLiteral("'  /  /  ' is not a valid date"));
    click(window->importaButton);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM testata")), 0);
    EXPECT_EQ(window->findChild<QProgressDialog *>(), nullptr);
}

} // namespace
