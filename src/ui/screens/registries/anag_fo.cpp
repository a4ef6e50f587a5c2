#include "ui/screens/registries/anag_fo.h"

#include "data/columns.h"
#include "data/diz.h"

TAnag_Fo *Anag_Fo = nullptr;

namespace {

PartyRegistryLayout supplierLayout()
{
    return {.objectName = QStringLiteral("Anag_Fo"),
            .window = {40, 1, 1326, 722},
            .title = QStringLiteral("ANAGRAFICA FORNITORI"),
            .search = {8, 16},
            .grid = {8, 48, 513, 577},
            .idTitle = QStringLiteral("ID"),
            .idWidth = 35,
            .nameWidth = 449,
            .navigator = {8, 643, 310, 33},
            .navigatorButtons = DbNavigator::allButtons(),
            .panelHeight = 417,
            .recipientColumn = col::fornitori::cod_destinatario,
            .destination = false};
}

} // namespace

TAnag_Fo::TAnag_Fo(TDiz &diz, QWidget *parent) : PartyRegistry(diz.Fornitori, supplierLayout(), parent) {}
