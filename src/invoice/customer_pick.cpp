#include "customer_pick.h"

#include "diz.h"

#include <array>

namespace {

// Same-named columns of `clienti` and `testata`, in the order they are copied.
constexpr std::array<const char *, 14> BuyerColumns{
    "rag_soc", "indirizzo", "comune", "cap", "prov", "nazione", "p_iva",
    "cod_fis", "cod_dest", "pec", "dest_soc", "dest_indir", "dest_comune", "dest_cap",
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
