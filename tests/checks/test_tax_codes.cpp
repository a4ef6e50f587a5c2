// The formal checks of Italian tax codes: VAT numbers and fiscal codes, valid and not,
// personal codes changed for omocodia included.
#include "checks/tax_codes.h"

#include <gtest/gtest.h>

namespace {

using namespace TaxCodes;

TEST(TaxCodes, VatCheckDigit)
{
    EXPECT_EQ(vatCheckDigit(QStringLiteral("0123456789")), 7);
    EXPECT_EQ(vatCheckDigit(QStringLiteral("0987654321")), 7);
    EXPECT_EQ(vatCheckDigit(QStringLiteral("0000000000")), 0);
    // A doubled digit above 9 counts as its digits' sum (9 x 2 = 18 counts 9).
    EXPECT_EQ(vatCheckDigit(QStringLiteral("0900000000")), 1);
    EXPECT_EQ(vatCheckDigit(QStringLiteral("012345678")), -1);
    EXPECT_EQ(vatCheckDigit(QStringLiteral("01234567a9")), -1);
}

TEST(TaxCodes, VatNumbers)
{
    for (const char *valid : {"01234567897", "09876543217", "00000000000", "12345678903"})
        EXPECT_TRUE(vatNumberFault(QString::fromLatin1(valid)).isEmpty()) << valid << ": " << vatNumberFault(QString::fromLatin1(valid)).toStdString();
    const struct {
        const char *code;
        const char *why;
    } invalid[] = {
        {"01234567890", "dovrebbe essere 7"},
        {"0123456789", "11 cifre"},
        {"012345678970", "11 cifre"},
        {"0123456789A", "11 cifre"},
        {"IT01234567897", "11 cifre"},
        {"", "11 cifre"},
    };
    for (const auto &c : invalid) {
        const QString fault = vatNumberFault(QString::fromLatin1(c.code));
        EXPECT_TRUE(fault.contains(QString::fromUtf8(c.why))) << c.code << ": " << fault.toStdString();
    }
}

TEST(TaxCodes, FiscalCodeCheckCharacter)
{
    EXPECT_EQ(fiscalCodeCheckCharacter(QStringLiteral("RSSMRA80A01H501")), 'U');
    EXPECT_EQ(fiscalCodeCheckCharacter(QStringLiteral("MRTMTT25D09F205")), 'Z');
    EXPECT_EQ(fiscalCodeCheckCharacter(QStringLiteral("RSSMRA80A01H50")), '\0');
    EXPECT_EQ(fiscalCodeCheckCharacter(QStringLiteral("rssmra80a01h501")), '\0');
}

TEST(TaxCodes, FiscalCodes)
{
    // Personal codes, a woman's (day + 40), codes changed for omocodia (digits from the right
    // replaced by L M N P Q R S T U V, the check character recomputed), company numbers.
    for (const char *valid : {"RSSMRA80A01H501U", "MRTMTT25D09F205Z", "RSSMRA80A41H501Y", "RSSMRA80A01H50MM", "RSSMRAULALMHRLMD",
                              "01234567897", "09876543217"})
        EXPECT_TRUE(fiscalCodeFault(QString::fromLatin1(valid)).isEmpty())
            << valid << ": " << fiscalCodeFault(QString::fromLatin1(valid)).toStdString();
    const struct {
        const char *code;
        const char *why;
    } invalid[] = {
        {"RSSMRA80A01H501X", "dovrebbe essere U"},
        {"RSSMRA80A01H50MU", "dovrebbe essere M"},   // omocodia letter with the original check character
        {"RSSMRA80Z01H501U", "mese"},                 // Z is no month letter
        {"RSSMRA80A32H501U", "giorno"},               // day 32
        {"RSSMRA80A00H501U", "giorno"},               // day 0
        {"RSSMRA80A72H501U", "giorno"},               // a woman's day 32
        {"RSSMRA8WA01H501U", "omocodia"},             // W replaces no digit
        {"RSSMR180A01H501U", "lettera"},              // a digit among the name letters
        {"RSSMRA80A01H501", "16 caratteri"},
        {"09876543210", "dovrebbe essere 7"},
        {"0987654321X", "sole cifre"},
    };
    for (const auto &c : invalid) {
        const QString fault = fiscalCodeFault(QString::fromLatin1(c.code));
        EXPECT_TRUE(fault.contains(QString::fromUtf8(c.why))) << c.code << ": " << fault.toStdString();
    }
}

} // namespace
