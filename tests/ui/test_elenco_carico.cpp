// The purchase-invoice list and its loading panel, on the shared Testa_Car and Detta_Car,
// with the address seam recording what would be opened.
#include "data_module_fixture.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/kit/file_browser_lists.h"
#include "gui_test.h"
#include "receiving/received_invoice.h"
#include "recording_opener.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class PurchaseList : public ScratchDatabaseTest {
protected:
    static inline std::unique_ptr<ScratchDatabase> &db = xml;

    QTemporaryDir received, elsewhere;
    ExpectedBoxes boxes;
    RecordingOpener opener;
    TDiz diz;
    std::unique_ptr<TElenco_Carico> window;
    const QString loadAddress = QStringLiteral("http://localhost:8642/Fatt_Acq/read_xml.php?nome_file=");

    void SetUp() override
    {
        ASSERT_TRUE(received.isValid() && elsewhere.isValid());
        clearTables({"test_car", "dett_car"});
        openDataModuleOn(diz);
        window = std::make_unique<TElenco_Carico>(diz);
        ServiceSettings settings;
        settings.port = 8642;
        settings.received = received.path();
        window->setServiceSettings(settings);
        showActive(*window);
    }

    static QByteArray sample(const char *name)
    {
        QFile f(QStringLiteral(XN_TEST_DATA_DIR "/") + QLatin1String(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    static void write(const QString &path, const QByteArray &content)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    void openPanel()
    {
        click(window->BitBtn2);
        ASSERT_TRUE(window->P2->isVisible());
    }
    // Clicks the entry `text` of a list (exact text, letter case included).
    static void clickEntry(QListWidget *list, const QString &text, bool twice = false)
    {
        const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        const QPoint at = list->visualItemRect(found.first()).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice)  // the second click of a double-click
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    QStringList titles(DbGrid *grid)
    {
        QStringList out;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            out << grid->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        return out;
    }
};

TEST_F(PurchaseList, ListsColumnsNavigatorsAndTheHiddenLoadingPanel)
{
    EXPECT_EQ(titles(window->DBGrid1), (QStringList{"Prot", "Ragione Sociale", "Tipo Doc.", "Data", "Numero", "Totale", "P. IVA",
                                                    "nome_file", "N. Rate", "Scad.1", "Imp. 1", "Scad.2", "Imp.2", "Scad.3", "Imp.3",
                                                    "Scad.4", "Imp.4"}));
    EXPECT_EQ(titles(window->DBGrid2), (QStringList{"Prog", "Descrizione", "UM", "Quantita", "Prezzo Unit.", "Tipo Sc.", "Perc. Sc.",
                                                    "Importo Sc.", "Imp. Totale", "Aliquota", "Tipo Cod.", "Valore Cod."}));
    const DbGridModel &lines = window->DBGrid2->gridModel();
    EXPECT_EQ(lines.column(2).alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);  // UM
    EXPECT_EQ(lines.column(3).alignment & Qt::AlignHorizontal_Mask, Qt::AlignRight);    // Quantita
    EXPECT_EQ(window->DBGrid1->gridModel().column(8).alignment & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);  // N. Rate
    EXPECT_FALSE(window->DBGrid1->gridModel().isReadOnly());
    EXPECT_FALSE(lines.isReadOnly());
    EXPECT_EQ(window->DBNavigator1->buttons(), DbNavigator::allButtons());
    EXPECT_EQ(window->DBNavigator2->buttons(), DbNavigator::allButtons());
    EXPECT_EQ(&window->DBNavigator2->table(), &diz.Detta_Car);
    EXPECT_EQ(diz.Testa_Car.refreshInterval(), 5000);
    EXPECT_EQ(diz.Detta_Car.refreshInterval(), 5000);

    EXPECT_FALSE(window->P2->isVisible());
    openPanel();
    EXPECT_EQ(window->P2->geometry(), window->P1->geometry());
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("*.xml"));
    EXPECT_TRUE(window->Edit1->isReadOnly());
    EXPECT_EQ(window->fileBrowser().folder(), QDir(received.path()).canonicalPath());
    click(window->BitBtn1);
    EXPECT_FALSE(window->P2->isVisible());
}

TEST_F(PurchaseList, TheFileListKeepsEdit1UpToDateAndListsOnlyInvoiceFiles)
{
    write(received.filePath("b.xml"), "<x/>");
    write(received.filePath("a.XML"), "<x/>");
    write(received.filePath("c.xml.p7m"), "0");
    write(received.filePath("notes.txt"), "-");
    openPanel();
    QStringList listed;
    for (int i = 0; i < window->FileListBox1->count(); ++i)
        listed << window->FileListBox1->item(i)->text();
    EXPECT_EQ(listed, (QStringList{"a.XML", "b.xml", "c.xml.p7m"}));
    clickEntry(window->FileListBox1, QStringLiteral("b.xml"));
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("b.xml"));
    window->FileListBox1->clearSelection();
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("*.xml"));
}

TEST_F(PurchaseList, WithNoFileChosenOrANameTheListCannotHoldNothingIsHandedOver)
{
    write(received.filePath("b.xml"), "<x/>");
    const QString longName = QStringLiteral("fattura_del_fornitore_con_nome_lungo.xml.p7m");  // 44 characters
    write(received.filePath(longName), "<x/>");
    openPanel();
    boxes.expectInform(QStringLiteral("Nessun file selezionato: scegliere la fattura da caricare"));
    click(window->BitBtn3);
    EXPECT_TRUE(window->P2->isVisible());

    clickEntry(window->FileListBox1, longName);
    boxes.expectInform(QStringLiteral("Nome del file non accettato: %1 (al massimo 40 caratteri, senza \"..\")").arg(longName));
    click(window->BitBtn3);
    EXPECT_TRUE(opener.addresses.isEmpty());
}

TEST_F(PurchaseList, AFileLoadedBeforeIsRefusedAndBecomesCurrentLetterCaseCounting)
{
    write(received.filePath("IT01234567890_FPR01.xml"), sample("IT01234567890_FPR01.xml"));
    write(received.filePath("it01234567890_fpr01.xml"), sample("IT01234567890_FPR01.xml"));
    const int loaded = db->insert(QStringLiteral("test_car"), {{"rag_soc", "ALPHA"}, {"nome_file", "IT01234567890_FPR01.xml"}});
    db->insert(QStringLiteral("test_car"), {{"rag_soc", "BETA"}, {"nome_file", "altro.xml"}});
    diz.Testa_Car.refresh();
    diz.Testa_Car.last();

    openPanel();
    clickEntry(window->FileListBox1, QStringLiteral("IT01234567890_FPR01.xml"));
    boxes.expectInform(QStringLiteral("Attenzione... File gia Caricato"));
    click(window->BitBtn3);
    EXPECT_TRUE(opener.addresses.isEmpty());
    EXPECT_EQ(diz.Testa_Car.asInteger(QStringLiteral("prot")), loaded);
    EXPECT_EQ(window->DBGrid1->currentIndex().row(), diz.Testa_Car.currentIndex());
    EXPECT_FALSE(window->P2->isVisible());

    openPanel();
    clickEntry(window->FileListBox1, QStringLiteral("it01234567890_fpr01.xml"));
    click(window->BitBtn3);
    EXPECT_EQ(opener.addresses, QStringList{loadAddress + QStringLiteral("it01234567890_fpr01.xml")});
    EXPECT_FALSE(window->P2->isVisible());
}

TEST_F(PurchaseList, AFilePickedElsewhereIsCopiedIntoTheReceivedFolderAndItsNameEncoded)
{
    const QByteArray content = sample("IT01234567890_FPR01.xml");
    write(elsewhere.filePath("fattura aprile.xml"), content);
    openPanel();
    // Up to the common parent, then down into the other folder, through the folder list.
    const QString parent = QFileInfo(QDir(elsewhere.path()).canonicalPath()).dir().dirName();
    const QString other = QDir(elsewhere.path()).dirName();
    const auto entryFor = [&](const QString &name) {
        for (int i = 0; i < window->DirectoryListBox1->count(); ++i)
            if (window->DirectoryListBox1->item(i)->text().trimmed() == name)
                return window->DirectoryListBox1->item(i)->text();
        return QString();
    };
    clickEntry(window->DirectoryListBox1, entryFor(parent), true);
    clickEntry(window->DirectoryListBox1, entryFor(other), true);
    ASSERT_EQ(window->fileBrowser().folder(), QDir(elsewhere.path()).canonicalPath());
    clickEntry(window->FileListBox1, QStringLiteral("fattura aprile.xml"));
    click(window->BitBtn3);
    EXPECT_EQ(read(received.filePath("fattura aprile.xml")), content);
    EXPECT_EQ(opener.addresses, QStringList{loadAddress + QStringLiteral("fattura%20aprile.xml")});

    // The same file again: taken as it is.
    openPanel();
    clickEntry(window->FileListBox1, QStringLiteral("fattura aprile.xml"));
    click(window->BitBtn3);
    EXPECT_EQ(opener.addresses.size(), 2);

    // A different file of the same name is never written over the received one.
    write(elsewhere.filePath("fattura aprile.xml"), sample("IT01234567890_FPR03.xml"));
    openPanel();
    clickEntry(window->FileListBox1, QStringLiteral("fattura aprile.xml"));
    boxes.expectInform(QStringLiteral("Nella cartella delle fatture ricevute (%1) esiste gia un file diverso di nome fattura aprile.xml: "
                                      "rinominare il file da caricare")
                           .arg(received.path()));
    click(window->BitBtn3);
    EXPECT_EQ(opener.addresses.size(), 2);
    EXPECT_EQ(read(received.filePath("fattura aprile.xml")), content);
}

TEST_F(PurchaseList, RowsStoredByTheLoaderAppearAtTheNextReRead)
{
    write(received.filePath("IT01234567890_FPR03.xml"), sample("IT01234567890_FPR03.xml"));
    ASSERT_EQ(window->DBGrid1->model()->rowCount(), 0);
    const LoadOutcome out = loadReceivedInvoice(db->sql(), received.path(), QStringLiteral("IT01234567890_FPR03.xml"));
    ASSERT_TRUE(out.loaded) << out.message.toStdString();
    EXPECT_EQ(window->DBGrid1->model()->rowCount(), 0);  // not before the re-read

    diz.Testa_Car.refresh();
    diz.Detta_Car.refresh();
    const DbGridModel &headers = window->DBGrid1->gridModel();
    ASSERT_EQ(headers.rowCount(), 2);
    EXPECT_EQ(headers.cellText(0, 1), QStringLiteral("SOCIETA' ALPHA SRL"));
    EXPECT_EQ(headers.cellText(1, 4), QStringLiteral("456"));
    EXPECT_EQ(headers.cellText(1, 5), QStringLiteral("2440,00"));
    EXPECT_EQ(headers.cellText(1, 7), QStringLiteral("IT01234567890_FPR03.xml"));
    // Every line of every purchase invoice, whichever header is current.
    EXPECT_EQ(window->DBGrid2->model()->rowCount(), 3);
    diz.Testa_Car.last();
    EXPECT_EQ(window->DBGrid2->model()->rowCount(), 3);
}

TEST_F(PurchaseList, BothListsReReadEveryFiveSecondsAndShowWhatTheLoaderStoredMeanwhile)
{
    EXPECT_EQ(diz.Testa_Car.refreshInterval(), 5000);
    EXPECT_EQ(diz.Detta_Car.refreshInterval(), 5000);
    // The same periodic re-read, made quicker for the test.
    diz.Testa_Car.setRefreshInterval(100);
    diz.Detta_Car.setRefreshInterval(100);
    write(received.filePath("IT01234567890_FPR03.xml"), sample("IT01234567890_FPR03.xml"));
    const LoadOutcome out = loadReceivedInvoice(db->sql(), received.path(), QStringLiteral("IT01234567890_FPR03.xml"));
    ASSERT_TRUE(out.loaded) << out.message.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return window->DBGrid1->model()->rowCount() == 2 && window->DBGrid2->model()->rowCount() == 3;
    }, 3000));
    EXPECT_EQ(window->DBGrid1->gridModel().cellText(1, 4), QStringLiteral("456"));
}

} // namespace
