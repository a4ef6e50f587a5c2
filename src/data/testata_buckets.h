#pragma once
// The columns of the four VAT buckets of an invoice header (testata), bucket 1 first. Bucket 4
// keeps no expenses, rounding, free goods or legal reference: those are nullptr.
#include "data/columns.h"

#include <array>

struct TestataBucketColumns {
    const char *rate;
    const char *taxable;
    const char *tax;
    const char *chargeability;
    const char *nature;
    const char *expenses;
    const char *rounding;
    const char *freeGoods;
    const char *reference;
};

inline constexpr int TestataBucketCount = 4;

inline constexpr std::array<TestataBucketColumns, TestataBucketCount> TestataBuckets{{
    {col::testata::aliquota, col::testata::imponibile, col::testata::imposta, col::testata::esig_iva,
     col::testata::natura, col::testata::spese, col::testata::arrot, col::testata::tot_omaggio, col::testata::normativa},
    {col::testata::aliquota2, col::testata::imponibile2, col::testata::imposta2, col::testata::esig_iva2,
     col::testata::natura2, col::testata::spese2, col::testata::arrot2, col::testata::tot_omaggio2,
     col::testata::normativa2},
    {col::testata::aliquota3, col::testata::imponibile3, col::testata::imposta3, col::testata::esig_iva3,
     col::testata::natura3, col::testata::spese3, col::testata::arrot3, col::testata::tot_omaggio3,
     col::testata::normativa3},
    {col::testata::aliquota4, col::testata::imponibile4, col::testata::imposta4, col::testata::esig_iva4,
     col::testata::natura4, nullptr, nullptr, nullptr, nullptr},
}};
