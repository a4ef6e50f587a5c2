#include "ui/screens/elenco_carico/elenco_carico.h"

#include "ui/kit/caption_font.h"
#include "transmission/address_opener.h"
#include "data/app_error.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "ui/kit/db_grid.h"
#include "ui/kit/db_navigator.h"
#include "data/diz.h"
#include "ui/kit/file_browser_lists.h"
#include "ui/screens/elenco_carico/received_file_place.h"
#include "receiving/received_invoice.h"
#include "ui/screens/st_fatt.h"
#include "ui/kit/ui_messages.h"
#include "ui/screens/visualizza_fattura/visualizza_command.h"
#include "ui/kit/window_geometry.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

TElenco_Carico *Elenco_Carico = nullptr;

namespace {

constexpr Qt::Alignment Left = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment Right = Qt::AlignRight | Qt::AlignVCenter;
constexpr Qt::Alignment Centre = Qt::AlignHCenter | Qt::AlignVCenter;

const QString Mask = QStringLiteral("*.xml");

QList<GridColumn> headerColumns()
{
    return {
        {col::test_car::prot, QStringLiteral("Prot"), Left, {}, false, 50},
        {col::test_car::rag_soc, QStringLiteral("Ragione Sociale"), Left, {}, false, 230},
        {col::test_car::tipo_doc, QStringLiteral("Tipo Doc."), Left, {}, false, 70},
        {col::test_car::data_doc, QStringLiteral("Data"), Left, {}, false, 85},
        {col::test_car::num_doc, QStringLiteral("Numero"), Right, {}, false, 80},
        {col::test_car::tot_doc, QStringLiteral("Totale"), Right, {}, false, 85},
        {col::test_car::p_iva, QStringLiteral("P. IVA"), Left, {}, false, 100},
        {col::test_car::nome_file, QString(), Left, {}, false, 210},
        {col::test_car::n_rate, QStringLiteral("N. Rate"), Centre, {}, false, 60},
        {col::test_car::scad1, QStringLiteral("Scad.1"), Left, {}, false, 85},
        {col::test_car::imp_scad1, QStringLiteral("Imp. 1"), Right, {}, false, 80},
        {col::test_car::scad2, QStringLiteral("Scad.2"), Left, {}, false, 85},
        {col::test_car::imp_scad2, QStringLiteral("Imp.2"), Right, {}, false, 80},
        {col::test_car::scad3, QStringLiteral("Scad.3"), Left, {}, false, 85},
        {col::test_car::imp_scad3, QStringLiteral("Imp.3"), Right, {}, false, 80},
        {col::test_car::scad4, QStringLiteral("Scad.4"), Left, {}, false, 85},
        {col::test_car::imp_scad4, QStringLiteral("Imp.4"), Right, {}, false, 80},
    };
}

QList<GridColumn> lineColumns()
{
    return {
        {col::dett_car::prog, QStringLiteral("Prog"), Left, {}, false, 50},
        {col::dett_car::descrizione, QStringLiteral("Descrizione"), Left, {}, false, 360},
        {col::dett_car::um, QStringLiteral("UM"), Centre, {}, false, 50},
        {col::dett_car::quantita, QStringLiteral("Quantita"), Right, {}, false, 85},
        {col::dett_car::prezzo_unit, QStringLiteral("Prezzo Unit."), Right, {}, false, 95},
        {col::dett_car::sc_tipo, QStringLiteral("Tipo Sc."), Centre, {}, false, 65},
        {col::dett_car::sc_perc, QStringLiteral("Perc. Sc."), Centre, {}, false, 70},
        {col::dett_car::sc_importo, QStringLiteral("Importo Sc."), Right, {}, false, 90},
        {col::dett_car::prezzo_tot, QStringLiteral("Imp. Totale"), Right, {}, false, 95},
        {col::dett_car::aliquota, QStringLiteral("Aliquota"), Centre, {}, false, 70},
        {col::dett_car::codice_tipo, QStringLiteral("Tipo Cod."), Left, {}, false, 90},
        {col::dett_car::codice_val, QStringLiteral("Valore Cod."), Left, {}, false, 120},
    };
}

QFrame *darkPanel(QWidget *parent, const QString &name)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, QColor(0x2b, 0x3a, 0x4a));
    p.setColor(QPalette::WindowText, Qt::white);
    panel->setPalette(p);
    return panel;
}

QLabel *title(const QString &text, QWidget *parent, int pixelSize)
{
    auto *label = new QLabel(text, parent);
    setCaptionFont(label, pixelSize);
    label->adjustSize();
    return label;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent, QRect geometry)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TElenco_Carico::TElenco_Carico(TDiz &diz, QWidget *parent)
    : ScreenDialog(parent), m_diz(diz), m_settings(loadServiceSettings())
{
    setObjectName(QStringLiteral("Elenco_Carico"));
    setWindowTitle(QStringLiteral("Elenco Fatture Acquisto"));
    placeWindow(this, 20, 20, 1300, 720);
    buildMainView();
    buildLoadingPanel();
    setServiceSettings(m_settings);
}

void TElenco_Carico::buildMainView()
{
    const QRect area(0, 0, 1300 - 2 * FrameSide, 720 - FrameCaption - FrameSide);
    P1 = darkPanel(this, QStringLiteral("P1"));
    P1->setGeometry(area);

    Label1 = title(QStringLiteral("Elenco Fatture Acquisto"), P1, 22);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 12);

    DBNavigator1 = new DbNavigator(m_diz.Testa_Car, DbNavigator::allButtons(), P1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(340, 8, 420, 34);
    BitBtn2 = button(QStringLiteral("BitBtn2"), QStringLiteral("Carica Fattura"), P1, {area.width() - 176, 6, 160, 38});

    DBGrid1 = new DbGrid(m_diz.Testa_Car, headerColumns(), P1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(8, 50, area.width() - 16, 300);

    DBNavigator2 = new DbNavigator(m_diz.Detta_Car, DbNavigator::allButtons(), P1);
    DBNavigator2->setObjectName(QStringLiteral("DBNavigator2"));
    DBNavigator2->setGeometry(340, 360, 420, 34);
    BitBtn4 = button(QStringLiteral("BitBtn4"), QStringLiteral("Stampa"), P1, {area.width() - 176, 358, 160, 38});
    visualizzaButton = button(QStringLiteral("visualizzaButton"), QStringLiteral("Visualizza"), P1, {area.width() - 346, 358, 160, 38});

    DBGrid2 = new DbGrid(m_diz.Detta_Car, lineColumns(), P1);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setGeometry(8, 402, area.width() - 16, area.height() - 410);

    onClick(BitBtn2, [this] { onCaricaFattura(); });
    onClick(BitBtn4, [this] { onStampa(); });
    onClick(visualizzaButton, [this] { onVisualizza(); });
}

void TElenco_Carico::buildLoadingPanel()
{
    P2 = darkPanel(this, QStringLiteral("P2"));
    P2->setGeometry(P1->geometry());
    P2->hide();

    Label2 = title(QStringLiteral("CARICA FATTURE ACQUISTO"), P2, 24);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move((P2->width() - Label2->width()) / 2, 16);

    Drive = new QComboBox(P2);
    Drive->setObjectName(QStringLiteral("Drive"));
    Drive->setGeometry(40, 80, 560, 30);
    FolderLabel = new QLabel(P2);
    FolderLabel->setObjectName(QStringLiteral("FolderLabel"));
    FolderLabel->setGeometry(40, 118, 560, 24);
    DirectoryListBox1 = new QListWidget(P2);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(40, 146, 560, 420);
    FileListBox1 = new QListWidget(P2);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(640, 80, 600, 486);
    Edit1 = new QLineEdit(P2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setGeometry(640, 580, 600, 32);

    BitBtn3 = button(QStringLiteral("BitBtn3"), QStringLiteral("Invio Carico"), P2, {640, 626, 190, 40});
    BitBtn1 = button(QStringLiteral("BitBtn1"), QStringLiteral("Chiudi"), P2, {1050, 626, 190, 40});

    // The signed files (.xml.p7m) are listed with the plain ones: the loader reads both.
    m_browser = new FileBrowserLists(Drive, DirectoryListBox1, FileListBox1, Edit1, {Mask, QStringLiteral("*.xml.p7m")}, this);
    FolderLabel->setText(QDir::toNativeSeparators(m_browser->folder()));
    connect(m_browser, &FileBrowserLists::folderChanged, FolderLabel,
            [this](const QString &folder) { FolderLabel->setText(QDir::toNativeSeparators(folder)); });

    onClick(BitBtn3, [this] { onInvioCarico(); });
    onClick(BitBtn1, [this] { P2->hide(); });
}

void TElenco_Carico::setServiceSettings(const ServiceSettings &settings)
{
    m_settings = settings;
    // The folder list starts in the folder the loading service reads (the program's
    // current folder while that folder does not exist).
    if (!m_browser->setFolder(m_settings.received))
        m_browser->setFolder(QDir::currentPath());
}

void TElenco_Carico::onCaricaFattura()
{
    m_browser->reread();
    P2->show();
    P2->raise();
}

void TElenco_Carico::onInvioCarico()
{
    const QString name = Edit1->text();
    const QString picked = m_browser->selectedFilePath();
    if (picked.isEmpty()) {
        uiMessages().inform(QStringLiteral("Nessun file selezionato: scegliere la fattura da caricare"));
        return;
    }
    if (m_diz.Testa_Car.locate(col::test_car::nome_file, name)) {
        uiMessages().inform(QStringLiteral("Attenzione... File gia Caricato"));
        P2->hide();
        return;
    }
    if (!isBareReceivedName(name)) {
        // The name is stored in test_car.nome_file, which holds at most ReceivedNameWidth characters.
        uiMessages().inform(QStringLiteral("Nome del file non accettato: %1 (al massimo %2 caratteri, senza \"..\")").arg(name).arg(ReceivedNameWidth));
        return;
    }
    const PlaceOutcome placed = placeInReceivedFolder(picked, m_settings.received);
    if (!placed.ok) {
        uiMessages().inform(placed.message);
        return;
    }
    const QString address = serviceBaseUrl(m_settings) + QStringLiteral("/Fatt_Acq/read_xml.php?nome_file=") + encodeQueryValue(name);
    addressOpener().open(withServiceKey(address, m_settings), uiMessages());
    P2->hide();
}

void TElenco_Carico::onStampa()
{
    if (!St_Fatt)
        throw AppError(QStringLiteral("Anteprima di stampa non disponibile"));
    St_Fatt->previewPurchase();
}

void TElenco_Carico::onVisualizza() { visualizzaFatturaRicevuta(m_diz, m_settings.received, this); }
