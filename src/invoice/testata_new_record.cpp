#include "testata_new_record.h"

#include "db_table.h"

#include <array>
#include <utility>

void TestataNewRecord(DbTable &testata)
{
    static const std::array<std::pair<const char *, const char *>, 17> defaults{{
        {"tipo_doc", "TD01"},
        {"tipo_pag", "TP02"},
        {"mod_pag", "MP01"},
        {"esig_iva", "I"},
        {"esig_iva2", "I"},
        {"esig_iva3", "I"},
        {"causale", "Vendita"},
        {"trasporto", "Vettore"},
        {"porto", "Franco"},
        {"aspetto", "Cartoni, Imballi"},
        {"colli", ""},
        {"spese", "0,00"},
        {"spese2", "0,00"},
        {"spese3", "0,00"},
        {"arrot", "0,00"},
        {"arrot2", "0,00"},
        {"arrot3", "0,00"},
    }};
    for (const auto &[column, text] : defaults)
        testata.setText(QString::fromLatin1(column), QString::fromLatin1(text));
}
