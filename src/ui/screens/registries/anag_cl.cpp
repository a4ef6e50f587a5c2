#include "ui/screens/registries/anag_cl.h"

#include "data/columns.h"
#include "ui/kit/command.h"
#include "invoice/customer_pick.h"
#include "ui/kit/db_grid.h"
#include "data/diz.h"
#include "ui/screens/elenco_fatt/elenco_fatt.h"
#include "ui/kit/enter_as_tab.h"

#include <QLineEdit>

TAnag_Cl *Anag_Cl = nullptr;

namespace {

PartyRegistryLayout customerLayout()
{
    using B = DbNavigator::Button;
    return {.objectName = QStringLiteral("Anag_Cl"),
            .window = {40, 1, 1328, 734},
            .title = QStringLiteral("ANAGRAFICA CLIENTI"),
            .search = {16, 32},
            .grid = {16, 72, 481, 577},
            .idTitle = QStringLiteral("id"),
            .idWidth = 31,
            .nameWidth = 421,
            .navigator = {16, 656, 306, 33},
            // Customers are added with "Nuovo" only.
            .navigatorButtons = {B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh},
            .panelHeight = 601,
            .recipientColumn = col::clienti::cod_dest,
            .destination = true};
}

} // namespace

TAnag_Cl::TAnag_Cl(TDiz &diz, QWidget *parent) : PartyRegistry(diz.Clienti, customerLayout(), parent), m_diz(diz)
{
    installEnterAsTab(this);
    // A double-click picks; cells are edited in place by typing or F2.
    list->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    connect(list, &QAbstractItemView::doubleClicked, this, [this] { runCommand([this] { onPick(); }); });
}

void TAnag_Cl::showEvent(QShowEvent *event)
{
    PartyRegistry::showEvent(event);
    searchBox->setFocus();
}

void TAnag_Cl::onPick()
{
    if (!(Elenco_Fatt && Elenco_Fatt->isVisible()))
        return;
    PickCustomer(m_diz);
    close();
}
