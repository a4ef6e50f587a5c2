#include "invoice/customer_pick.h"

#include "data/columns.h"
#include "data/diz.h"

#include <array>

namespace {

// Same-named columns of `clienti` and `testata`, in the order they are copied.
constexpr std::array<const char *, 14> BuyerColumns{
    col::clienti::rag_soc,  col::clienti::indirizzo,  col::clienti::comune,      col::clienti::cap,
    col::clienti::prov,     col::clienti::nazione,    col::clienti::p_iva,       col::clienti::cod_fis,
    col::clienti::cod_dest, col::clienti::pec,        col::clienti::dest_soc,    col::clienti::dest_indir,
    col::clienti::dest_comune, col::clienti::dest_cap,
};

} // namespace

void PickCustomer(TDiz &diz)
{
    DbTable &invoice = diz.Testata;
    if (!invoice.isEditing()) {
        if (invoice.isOpen() && invoice.isEmpty())
            invoice.append();
        else
            invoice.edit();
    }
    for (const char *name : BuyerColumns) {
        const QString column = QString::fromLatin1(name);
        invoice.setValue(column, diz.Clienti.value(column));
    }
    invoice.post();
}
