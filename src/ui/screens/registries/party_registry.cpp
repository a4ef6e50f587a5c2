#include "ui/screens/registries/party_registry.h"

#include "ui/kit/caption_font.h"
#include "ui/kit/bound_panel.h"
#include "data/columns.h"
#include "ui/kit/command.h"
#include "ui/kit/db_grid.h"
#include "data/db_table.h"
#include "data/registry_search.h"
#include "ui/kit/window_geometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString NameColumn = col::clienti::rag_soc;

} // namespace

PartyRegistry::PartyRegistry(DbTable &parties, const PartyRegistryLayout &layout, QWidget *parent)
    : ScreenDialog(parent), m_parties(parties)
{
    setObjectName(layout.objectName);
    placeWindow(this, layout.window.left(), layout.window.top(), layout.window.width(), layout.window.height());
    QFont screenFont = font();
    screenFont.setPixelSize(16);
    setFont(screenFont);

    searchLabel = new QLabel(QStringLiteral("Ricerca"), this);
    searchLabel->setObjectName(QStringLiteral("Label1"));
    searchLabel->setGeometry(QRect(layout.search, QSize(67, 23)));
    searchBox = new QLineEdit(this);
    searchBox->setObjectName(QStringLiteral("Edit1"));
    searchBox->setGeometry(QRect(layout.search + QPoint(80, -8), QSize(265, 27)));
    connect(searchBox, &QLineEdit::textChanged, this, &PartyRegistry::onSearchChanged);

    titleLabel = new QLabel(layout.title, this);
    titleLabel->setObjectName(QStringLiteral("Label2"));
    setCaptionFont(titleLabel, 24, true);
    titleLabel->move(488, 16);
    titleLabel->adjustSize();  // the caption decides the width

    list = new DbGrid(parties,
                      {GridColumn(col::clienti::id, layout.idTitle, Qt::AlignLeft, {}, true, layout.idWidth),
                       GridColumn(NameColumn, QStringLiteral("Ragione Sociale"), Qt::AlignLeft, {}, false, layout.nameWidth)},
                      this);
    list->setObjectName(QStringLiteral("DBGrid1"));
    list->setGeometry(layout.grid);

    navigator = new DbNavigator(parties, layout.navigatorButtons, this);
    navigator->setObjectName(QStringLiteral("DBNavigator1"));
    navigator->setGeometry(layout.navigator);

    using Case = DbEdit::CharCase;
    panel = new BoundPanel(parties, this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(536, 72, 761, layout.panelHeight);
    panel->addEdit(QStringLiteral("Ragione Sociale"), NameColumn, {16, 54, 735, 29}, Case::Upper);
    panel->addEdit(QStringLiteral("Indirizzo"), col::clienti::indirizzo, {16, 122, 735, 29});
    panel->addEdit(QStringLiteral("CAP"), col::clienti::cap, {16, 190, 81, 29});
    panel->addEdit(QStringLiteral("Comune"), col::clienti::comune, {112, 190, 569, 29});
    panel->addEdit(QStringLiteral("Prov"), col::clienti::prov, {688, 190, 67, 29});
    panel->addEdit(QStringLiteral("Nazione"), col::clienti::nazione, {16, 257, 105, 29});
    panel->addEdit(QStringLiteral("Partita IVA"), col::clienti::p_iva, {136, 257, 225, 29});
    panel->addEdit(QStringLiteral("Codice Fiscale"), col::clienti::cod_fis, {376, 257, 225, 29});
    panel->addEdit(QStringLiteral("Codice Destinatario"), layout.recipientColumn, {16, 326, 121, 29});
    panel->addEdit(QStringLiteral("PEC"), col::clienti::pec, {192, 326, 561, 29}, Case::Lower);
    nuovoButton = new QPushButton(QStringLiteral("Nuovo"));
    nuovoButton->setObjectName(QStringLiteral("BitBtn1"));
    nuovoButton->setAutoDefault(false);
    panel->addControl(nuovoButton, {328, 8, 75, 25});
    onClick(nuovoButton, [this] { onNuovo(); });
    if (layout.destination) {
        panel->addEdit(QStringLiteral("Ragione Sociale Destinazione"), col::clienti::dest_soc, {16, 398, 735, 29},
                       Case::Upper);
        panel->addEdit(QStringLiteral("Indirizzo Destinazione"), col::clienti::dest_indir, {16, 466, 735, 29});
        panel->addEdit(QStringLiteral("CAP Destinazione"), col::clienti::dest_cap, {16, 534, 81, 29});
        panel->addEdit(QStringLiteral("Comune Destinazione"), col::clienti::dest_comune, {168, 534, 569, 29});
    }

    chainTabOrder({searchBox, list, navigator, panel});
}

DbEdit *PartyRegistry::box(const QString &column) const { return panel->edit(column); }

void PartyRegistry::onSearchChanged(const QString &text)
{
    runCommand([&] { RegistrySearch::run(m_parties, NameColumn, text, {NameColumn}); });
}

void PartyRegistry::onNuovo()
{
    m_parties.append();
    box(NameColumn)->setFocus();
}
