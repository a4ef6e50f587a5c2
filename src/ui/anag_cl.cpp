#include "anag_cl.h"

#include "command.h"
#include "customer_pick.h"
#include "db_grid.h"
#include "diz.h"
#include "elenco_fatt.h"
#include "enter_as_tab.h"

#include <QLineEdit>

TAnag_Cl *Anag_Cl = nullptr;

namespace {

PartyRegistryLayout customerLayout()
{
    using B = DbNavigator::Button;
    PartyRegistryLayout l;
    l.objectName = QStringLiteral("Anag_Cl");
    l.window = {40, 1, 1328, 734};
    l.title = QStringLiteral("ANAGRAFICA CLIENTI");
    l.searchLabel = {16, 32, 67, 23};
    l.searchBox = {96, 24, 265, 27};
    l.titleLabel = {488, 16, 292, 31};
    l.grid = {16, 72, 481, 577};
    l.idTitle = QStringLiteral("id");
    l.idWidth = 31;
    l.nameWidth = 421;
    l.navigator = {16, 656, 306, 33};
    l.navigatorButtons = {B::First, B::Prior, B::Next, B::Last, B::Delete, B::Edit, B::Post, B::Cancel, B::Refresh};
    l.panel = {536, 72, 761, 601};
    l.recipientColumn = QStringLiteral("cod_dest");
    l.destination = true;
    return l;
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
