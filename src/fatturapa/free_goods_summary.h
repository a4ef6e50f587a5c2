#pragma once
// The VAT summary of a bucket that holds free goods. The invoice's taxable column leaves
// the free goods out (their value is not paid) while its tax column holds their VAT; the
// file's summary must instead declare the sum of the bucket's lines as taxable amount and
// the tax on that sum, as the exchange system checks them against the lines.
#include <QString>

struct SummaryFigures {
    QString taxable;  // ImponibileImporto, amount form
    QString tax;      // Imposta, amount form
};

// The figures written for a bucket whose stored taxable amount, tax and rate have the
// amount forms given, and whose free-goods column holds `freeGoods` as stored. Without
// free goods (the column empty, not a number, or zero) the stored figures are written
// unchanged; with them the taxable amount is the stored one plus the free goods, and the
// tax that taxable amount times the rate, rounded to the cent.
SummaryFigures summaryFigures(const QString &rate, const QString &taxable, const QString &tax, const QString &freeGoods);
