#include "invoice/testata_new_record.h"

#include "data/columns.h"
#include "data/db_table.h"

#include <array>
#include <utility>

void TestataNewRecord(DbTable &testata)
{
    static const std::array<std::pair<const char *, const char *>, 17> defaults{{
        {col::testata::tipo_doc, "TD01"},
        {col::testata::tipo_pag, "TP02"},
        {col::testata::mod_pag, "MP01"},
        {col::testata::esig_iva, "I"},
        {col::testata::esig_iva2, "I"},
        {col::testata::esig_iva3, "I"},
        {col::testata::causale, "Vendita"},
        {col::testata::trasporto, "Vettore"},
        {col::testata::porto, "Franco"},
        {col::testata::aspetto, "Cartoni, Imballi"},
        {col::testata::colli, ""},
        {col::testata::spese, "0,00"},
        {col::testata::spese2, "0,00"},
        {col::testata::spese3, "0,00"},
        {col::testata::arrot, "0,00"},
        {col::testata::arrot2, "0,00"},
        {col::testata::arrot3, "0,00"},
    }};
    for (const auto &[column, text] : defaults)
        testata.setText(QString::fromLatin1(column), QString::fromLatin1(text));
}
