#include "anag_fo.h"

#include "diz.h"

TAnag_Fo *Anag_Fo = nullptr;

namespace {

PartyRegistryLayout supplierLayout()
{
    PartyRegistryLayout l;
    l.objectName = QStringLiteral("Anag_Fo");
    l.window = {40, 1, 1326, 722};
    l.title = QStringLiteral("ANAGRAFICA FORNITORI");
    l.searchLabel = {8, 16, 67, 23};
    l.searchBox = {88, 8, 265, 27};
    l.titleLabel = {488, 16, 292, 31};
    l.grid = {8, 48, 513, 577};
    l.idTitle = QStringLiteral("ID");
    l.idWidth = 35;
    l.nameWidth = 449;
    l.navigator = {8, 643, 310, 33};
    l.navigatorButtons = DbNavigator::allButtons();
    l.panel = {536, 72, 761, 417};
    l.recipientColumn = QStringLiteral("cod_destinatario");
    l.destination = false;
    return l;
}

} // namespace

TAnag_Fo::TAnag_Fo(TDiz &diz, QWidget *parent) : PartyRegistry(diz.Fornitori, supplierLayout(), parent) {}
