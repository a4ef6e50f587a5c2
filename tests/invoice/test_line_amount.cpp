// The amount of one invoice line (CalcolaRiga) and the tidying of the line editor's
// fields when the user leaves them.
#include "data/app_error.h"
#include "invoice/line_amount.h"
#include "recorded_messages.h"

#include <QStringList>
#include <gtest/gtest.h>

// Readable QString values in failure reports.
#include "test_printing.h"

namespace {

LineAmountTexts line(const char *quantita, const char *prezzoUnit, const char *scTipo, const char *scPerc,
                     const char *scImporto = "old discount", const char *prezzoTot = "old total")
{
    return {QString::fromUtf8(quantita), QString::fromUtf8(prezzoUnit), QString::fromUtf8(scTipo),
            QString::fromUtf8(scPerc), QString::fromUtf8(scImporto), QString::fromUtf8(prezzoTot)};
}

using Handler = void (*)(LineAmountTexts &, Messages &);

struct Case {
    const char *what;
    Handler run;
    LineAmountTexts before;
    LineAmountTexts after;
    const char *message;  // "" when nothing is shown
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

class LineAmount : public ::testing::TestWithParam<Case> {};

TEST_P(LineAmount, RewritesTheFieldsAsExpected)
{
    const Case &c = GetParam();
    LineAmountTexts fields = c.before;
    RecordedMessages messages;
    messages.answer = false;
    c.run(fields, messages);
    EXPECT_EQ(fields.quantita, c.after.quantita);
    EXPECT_EQ(fields.prezzoUnit, c.after.prezzoUnit);
    EXPECT_EQ(fields.scTipo, c.after.scTipo);
    EXPECT_EQ(fields.scPerc, c.after.scPerc);
    EXPECT_EQ(fields.scImporto, c.after.scImporto);
    EXPECT_EQ(fields.prezzoTot, c.after.prezzoTot);
    const QStringList expected = *c.message ? QStringList{QString::fromUtf8(c.message)} : QStringList{};
    EXPECT_EQ(messages.shown, expected);
}

// Each case is named by its place in its table.
std::string caseName(const ::testing::TestParamInfo<Case> &info) { return "case" + std::to_string(info.index); }

INSTANTIATE_TEST_SUITE_P(
    Computation, LineAmount,
    ::testing::Values(
        Case{"discount", CalcolaRiga, line("2,00", "10,000", "SC", "10,00"),
             line("2,00", "10,000", "SC", "10,00", "2,00", "18,000"), ""},
        Case{"surcharge", CalcolaRiga, line("2,00", "10,000", "MG", "10,00"),
             line("2,00", "10,000", "MG", "10,00", "2,00", "22,000"), ""},
        Case{"no type empties percentage and discount", CalcolaRiga, line("2,00", "10,000", "", "10,00"),
             line("2,00", "10,000", "", "", "", "20,000"), ""},
        Case{"an unknown type counts as none", CalcolaRiga, line("2,00", "10,000", "sc", "10,00"),
             line("2,00", "10,000", "sc", "", "", "20,000"), ""},
        Case{"negative quantity", CalcolaRiga, line("-1,00", "5,000", "SC", "10,00"),
             line("-1,00", "5,000", "SC", "10,00", "-0,50", "-4,500"), ""},
        Case{"large product kept exact", CalcolaRiga, line("1234,00", "1234,567", "", ""),
             line("1234,00", "1234,567", "", "", "", "1523455,678"), ""},
        Case{"half cent rounds away from zero", CalcolaRiga, line("1,00", "26,750", "SC", "10,00"),
             line("1,00", "26,750", "SC", "10,00", "2,68", "24,075"), ""},
        Case{"negative half cent rounds away from zero", CalcolaRiga, line("-1,00", "26,750", "MG", "10,00"),
             line("-1,00", "26,750", "MG", "10,00", "-2,68", "-29,425"), ""},
        Case{"unreadable inputs count as zero", CalcolaRiga, line("abc", "1.000,000", "SC", "x"),
             line("abc", "1.000,000", "SC", "x", "0,00", "0,000"), ""},
        Case{"blanks and exponents read", CalcolaRiga, line(" 2,5 ", "1E1", "SC", "1e1"),
             line(" 2,5 ", "1E1", "SC", "1e1", "2,50", "22,500"), ""},
        Case{"a total of twelve characters fits", CalcolaRiga, line("1,00", "99999999,999", "", ""),
             line("1,00", "99999999,999", "", "", "", "99999999,999"), ""},
        Case{"a negative total of twelve characters fits", CalcolaRiga, line("-1,00", "9999999,999", "", ""),
             line("-1,00", "9999999,999", "", "", "", "-9999999,999"), ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    FieldExits, LineAmount,
    ::testing::Values(
        Case{"quantity 3 becomes 3,00", Edit2Exit, line("3", "10,000", "SC", "10,00"),
             line("3,00", "10,000", "SC", "10,00", "3,00", "27,000"), ""},
        Case{"the total uses the tidied quantity", Edit2Exit, line("2,6789", "10,000", "", ""),
             line("2,68", "10,000", "", "", "", "26,800"), ""},
        Case{"quantity with a decimal point is not a number", Edit2Exit, line("1.5", "10,000", "", ""),
             line("0,00", "10,000", "", "", "", "0,000"), ""},
        Case{"gross price to three decimals", Edit7Exit, line("1,00", "12,3456", "", ""),
             line("1,00", "12,346", "", "", "", "12,346"), ""},
        Case{"gross price not a number", Edit7Exit, line("1,00", "abc", "", ""),
             line("1,00", "0,000", "", "", "", "0,000"), ""},
        Case{"percentage not a number is emptied", Edit8Exit, line("2,00", "10,000", "SC", "abc"),
             line("2,00", "10,000", "SC", "", "0,00", "20,000"), ""},
        Case{"percentage rounded half away from zero", Edit8Exit, line("1,00", "100,000", "SC", "2,675"),
             line("1,00", "100,000", "SC", "2,68", "2,68", "97,320"), ""},
        Case{"leaving a list without a type empties a typed percentage", cb1Exit,
             line("2,00", "10,000", "", "10,00", "2,00", "18,000"), line("2,00", "10,000", "", "", "", "20,000"),
             ""}),
    caseName);

// Results too long for their 12-character column are refused with "Errore"; the fields
// keep what was written before the failing step.
INSTANTIATE_TEST_SUITE_P(
    TooLong, LineAmount,
    ::testing::Values(
        Case{"total of thirteen characters", CalcolaRiga, line("1,00", "100000000,000", "", ""),
             line("1,00", "100000000,000", "", "", "", "old total"), "Errore"},
        Case{"negative total of thirteen characters", CalcolaRiga, line("-1,00", "10000000,000", "", ""),
             line("-1,00", "10000000,000", "", "", "", "old total"), "Errore"},
        Case{"quantity of 10^14 tidied, its total too long", Edit2Exit, line("1E14", "1,000", "", ""),
             line("100000000000000,00", "1,000", "", "", "", "old total"), "Errore"},
        Case{"discount amount too long", CalcolaRiga, line("1E20", "1,000", "SC", "10,00"),
             line("1E20", "1,000", "SC", "10,00", "old discount", "old total"), "Errore"},
        Case{"total of 10^28", CalcolaRiga, line("99999999999999", "99999999999999", "", ""),
             line("99999999999999", "99999999999999", "", "", "", "old total"), "Errore"}),
    caseName);

// Numbers far outside a business's range (10^15 and more, or lost to zero) are refused
// with the line's "Errore", never counted as 0 and never a general error: no field is
// written but the percentage that a missing type empties, and leaving the field keeps
// the number as typed.
const char *const Digits39 = "100000000000000000000000000000000000000";
const char *const Digits40 = "9999999999999999999999999999999999999999";

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, LineAmount,
    ::testing::Values(
        Case{"39-digit quantity with a discount", CalcolaRiga, line(Digits39, "2,000", "SC", "10,00"),
             line(Digits39, "2,000", "SC", "10,00"), "Errore"},
        Case{"39-digit quantity left", Edit2Exit, line(Digits39, "2,000", "", ""),
             line(Digits39, "2,000", "", "0,00"), "Errore"},
        Case{"a number too large to hold", CalcolaRiga, line("1,00", Digits40, "", ""),
             line("1,00", Digits40, "", "0,00"), "Errore"},
        Case{"quantity with a large exponent", Edit2Exit, line("1E40", "3,000", "", ""),
             line("1E40", "3,000", "", "0,00"), "Errore"},
        Case{"10^15 is out", CalcolaRiga, line("1E15", "0,000", "", ""),
             line("1E15", "0,000", "", "0,00"), "Errore"},
        Case{"a quantity lost to zero", CalcolaRiga, line("1e-40", "3,000", "", ""),
             line("1e-40", "3,000", "", "0,00"), "Errore"},
        Case{"a quantity lost to zero, left", Edit2Exit, line("0,0000000000000000000000000000000001", "3,000", "", ""),
             line("0,0000000000000000000000000000000001", "3,000", "", "0,00"), "Errore"},
        Case{"a percentage lost to zero", Edit8Exit, line("1,00", "3,000", "SC", "1E-35"),
             line("1,00", "3,000", "SC", "1E-35"), "Errore"},
        Case{"a price out of range", Edit7Exit, line("1,00", "-2e20", "MG", "5"),
             line("1,00", "-2e20", "MG", "5"), "Errore"}),
    caseName);

// Within the range: a tiny number is a number, zero written with an exponent is zero.
INSTANTIATE_TEST_SUITE_P(
    WithinRange, LineAmount,
    ::testing::Values(
        Case{"just below 10^15", CalcolaRiga, line("999999999999999", "0,000", "", ""),
             line("999999999999999", "0,000", "", "", "", "0,000"), ""},
        Case{"a very small quantity", CalcolaRiga, line("1e-20", "3,000", "", ""),
             line("1e-20", "3,000", "", "", "", "0,000"), ""},
        Case{"zero with an exponent", CalcolaRiga, line("0e-99", "3,000", "", ""),
             line("0e-99", "3,000", "", "", "", "0,000"), ""}),
    caseName);

} // namespace
