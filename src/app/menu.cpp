#include "app/menu.h"

#include "ui/screens/registries/anag_az.h"
#include "ui/screens/registries/anag_cl.h"
#include "ui/screens/registries/anag_fo.h"
#include "ui/screens/registries/articoli.h"
#include "ui/kit/command.h"
#include "data/diz.h"
#include "ui/screens/elenco_carico/elenco_carico.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "data/ip_ini.h"
#include "ui/kit/window_geometry.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

TMenu *Menu = nullptr;

namespace {

const QColor Green(0, 128, 0);
const QColor Navy(0, 0, 128);

// The drawn fonts where installed, else the nearest narrow ones of the system.
const QStringList ButtonFamilies{QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif"),
                                 QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("sans-serif")};
const QStringList TitleFamilies{QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                                QStringLiteral("DejaVu Serif Condensed"), QStringLiteral("serif")};
const QStringList AccediFamilies{QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                 QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("sans-serif")};

QFont fontOf(const QStringList &families, int pixelSize, bool italic = false, bool bold = false)
{
    QFont f;
    f.setFamilies(families);
    f.setPixelSize(pixelSize);
    f.setItalic(italic);
    f.setBold(bold);
    return f;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect geometry, const QFont &font,
                        const QColor &colour = QColor())
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    // A substitute font wider than the drawn one is made just small enough for the caption.
    QFont fitted = font;
    while (QFontMetrics(fitted).horizontalAdvance(caption) + 8 > geometry.width() && fitted.pixelSize() > 8)
        fitted.setPixelSize(fitted.pixelSize() - 1);
    b->setFont(fitted);
    b->setAutoDefault(false);
    if (colour.isValid()) {
        // A disabled button keeps the usual grey caption.
        QPalette p = b->palette();
        p.setColor(QPalette::Active, QPalette::ButtonText, colour);
        p.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
        b->setPalette(p);
    }
    return b;
}

QFrame *makePanel(QWidget *parent, const char *name, QRect geometry)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(geometry);
    return panel;
}

} // namespace

TMenu::TMenu(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Menu"));
    setWindowTitle(QString());
    placeWindow(this, 137, 75, 1188, 697);

    Label1 = new QLabel(QStringLiteral("GESTIONE FATTURAZIONE ELETTRONICA - 2 0 2 6"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(320, 8, 650, 31);
    Label1->setFont(fontOf(TitleFamilies, 27, true, true));
    Label1->adjustSize();  // the label takes the width of its text

    const QFont big = fontOf(ButtonFamilies, 24);
    const QFont bigItalic = fontOf(ButtonFamilies, 24, true);

    Panel1 = makePanel(this, "Panel1", {104, 128, 433, 209});
    B1 = makeButton(Panel1, "B1", QStringLiteral("Fatture Emesse"), {16, 48, 177, 41}, bigItalic, Green);
    B2 = makeButton(Panel1, "B2", QStringLiteral("Clienti"), {304, 49, 105, 40}, bigItalic, Green);

    Panel2 = makePanel(this, "Panel2", {640, 128, 433, 209});
    B3 = makeButton(Panel2, "B3", QStringLiteral("Fatture Acquisto"), {24, 48, 177, 41}, big);
    B4 = makeButton(Panel2, "B4", QStringLiteral("Fornitori"), {248, 48, 161, 41}, big);
    B5 = makeButton(Panel2, "B5", QStringLiteral("Magazzino"), {144, 144, 161, 49}, big, Navy);

    BitBtn7 = makeButton(this, "BitBtn7", QStringLiteral("Accedi"), {544, 512, 145, 49},
                         fontOf(AccediFamilies, 16, false, true), Navy);
    B6 = makeButton(this, "B6", QStringLiteral("Dati Azienda"), {1000, 600, 153, 41}, bigItalic, Navy);

    setTabOrder(B6, B1);
    setTabOrder(B1, B2);
    setTabOrder(B2, B3);
    setTabOrder(B3, B4);
    setTabOrder(B4, B5);
    setTabOrder(B5, BitBtn7);

    onClick(B1, [this] { B1Click(); });
    onClick(B2, [this] { B2Click(); });
    onClick(B3, [this] { B3Click(); });
    onClick(B4, [this] { B4Click(); });
    onClick(B5, [this] { B5Click(); });
    onClick(B6, [this] { B6Click(); });
    onClick(BitBtn7, [this] { BitBtn7Click(); });
}

QList<QPushButton *> TMenu::screenButtons() const { return {B1, B2, B3, B4, B5, B6}; }

void TMenu::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Shown by the program, not restored from the minimised state by the window system.
    if (!event->spontaneous())
        runCommand([this] { FormShow(); });
}

void TMenu::closeEvent(QCloseEvent *event)
{
    runCommand([this] { FormClose(); });
    event->accept();
}

void TMenu::FormShow()
{
    for (QPushButton *b : screenButtons())
        b->setEnabled(false);
}

void TMenu::BitBtn7Click()
{
    const std::optional<IpIni> ini = readIpIni();
    if (!ini)
        return;
    // Connecting may wait for the server up to the connect time-out: the cursor says so.
    struct BusyCursor {
        BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
        ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    } busy;
    Elenco_Fatt->setWindowTitle(ini->title);
    Diz->xml_conn.setHost(ini->server.left(IpIni::ServerLength));
    Diz->xml_conn.setDatabase(ini->database.left(IpIni::DatabaseLength));
    Diz->xml_conn.open();
    Diz->openTables();
    for (QPushButton *b : screenButtons())
        b->setEnabled(true);
}

void TMenu::FormClose() { Diz->closeTables(); }

void TMenu::B1Click() { Elenco_Fatt->showModal(); }
void TMenu::B2Click() { Anag_Cl->showModal(); }
void TMenu::B3Click() { Elenco_Carico->showModal(); }
void TMenu::B4Click() { Anag_Fo->showModal(); }
void TMenu::B5Click() { Articoli->showModal(); }
void TMenu::B6Click() { anag_az->showModal(); }
