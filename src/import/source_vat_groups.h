#pragma once
// The columns of the five VAT groups of a management document (norva26 testata), group 1
// first: taxable amount, VAT, rate and discount.
#include "data/columns.h"

#include <array>

struct SourceVatGroupColumns {
    const char *taxable;
    const char *vat;
    const char *rate;
    const char *discount;
};

inline constexpr std::array<SourceVatGroupColumns, 5> SourceVatGroups{{
    {col::norva26::testata::imponibile1, col::norva26::testata::iva1, col::norva26::testata::aliquota1,
     col::norva26::testata::val_sconto1},
    {col::norva26::testata::imponibile2, col::norva26::testata::iva2, col::norva26::testata::aliquota2,
     col::norva26::testata::val_sconto2},
    {col::norva26::testata::imponibile3, col::norva26::testata::iva3, col::norva26::testata::aliquota3,
     col::norva26::testata::val_sconto3},
    {col::norva26::testata::imponibile4, col::norva26::testata::iva4, col::norva26::testata::aliquota4,
     col::norva26::testata::val_sconto4},
    {col::norva26::testata::imponibile5, col::norva26::testata::iva5, col::norva26::testata::aliquota5,
     col::norva26::testata::val_sconto5},
}};
