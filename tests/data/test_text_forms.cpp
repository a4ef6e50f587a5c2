// The amount and date texts: format masks, the strict and the regional reading of a
// number, the date forms, and their independence of the process's C locale.
#include "data/app_error.h"
#include "decimal_text.h"
#include "data/text_forms.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>

using namespace TextForms;

namespace {

// The message of the ConversionError that `read` raises for `text`, or nothing.
template <typename Read>
std::optional<QString> conversionErrorOf(Read read, const QString &text)
{
    try {
        read(text);
    } catch (const ConversionError &e) {
        return e.text();
    }
    return std::nullopt;
}

TEST(FormatMask, EveryMask)
{
    struct Case { const char *mask; const char *value; const char *expected; };
    const Case cases[] = {
        {Mask2, "1234.5", "1234,50"},
        {Mask2, "0", "0,00"},
        {Mask2, "0.5", "0,50"},
        {Mask2, "-5", "-5,00"},
        {Mask2, "2.675", "2,68"},
        {Mask2, "-2.675", "-2,68"},
        {Mask2, "2.674999", "2,67"},
        {Mask2, "-0.004", "0,00"},               // rounds to zero: no sign
        {Mask2, "-0.005", "-0,01"},
        {Mask2, "-0.995", "-1,00"},
        {Mask2, "1e20", "100000000000000000000,00"},
        {Mask2, "123456789012345", "123456789012345,00"}, // wider than the mask: never cut
        {Mask2, "0.1249999999999999999", "0,13"},  // 18 significant digits first: 0,125
        {Mask2, "1234567890123456789", "1234567890123456790,00"},
        {Mask3, "12.3455", "12,346"},
        {Mask3, "18", "18,000"},
        {Mask3, "-0.0004", "0,000"},
        {EditMask2, "3", "3,00"},
        {EditMask2, "2.6789", "2,68"},
        {EditMask3, "12.3456", "12,346"},
        {EditMask3, "1523455.678", "1523455,678"},
        {GroupedMask2, "1234567.891", "1.234.567,89"},
        {GroupedMask2, "12.5", "12,50"},
        {GroupedMask2, "123", "123,00"},
        {GroupedMask2, "123456", "123.456,00"},
        {GroupedMask2, "999.995", "1.000,00"},    // the carry creates a group
        {GroupedMask2, "-1234.5", "-1.234,50"},
        {GroupedMask2, "-0.001", "0,00"},
        {GroupedMask3, "1234.5", "1.234,500"},
        {GroupedMask3, "0", "0,000"},
        {GroupedMask3, "1e20", "100.000.000.000.000.000.000,000"},
        {Mask4, "12.5", "12,5000"},
        {Mask4, "0.00005", "0,0001"},
        {WideMask2, "-5", "-5,00"},
        {WideMask2, "1234.565", "1234,57"},
        {"0", "2.5", "3"},                        // no point: no decimals, no separator
        {"000.0", "7.25", "007,3"},
        {"#.##", "1.5", "1,5"},                   // trailing '#' decimals only when not zero
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatMask(dec(c.value), c.mask), c.expected) << c.mask << " " << c.value;

    EXPECT_EQ(formatMask(-Decimal(), Mask2), "0,00");
}

TEST(FormatMask, DoubleJustBelowTheHalfRoundsDown)
{
    // The double 2.675 is 2.67499999999999982236431605997495353221893310546875.
    EXPECT_EQ(formatMask(Decimal::fromDouble(2.675), Mask2), "2,67");
    EXPECT_EQ(formatMask(Decimal::fromDouble(8.55), Mask2), "8,55");
    EXPECT_EQ(formatMask(Decimal::fromDouble(1e20), Mask2), "100000000000000000000,00");
}

// Expected results of the two readings; nullptr means "not a number".
struct ReadCase {
    const char *text;
    const char *strict;
    const char *locale;
};

const ReadCase readCases[] = {
    {"12,5", "12.5", "12.5"},
    {"0", "0", "0"},
    {"  -12,50  ", "-12.5", "-12.5"},
    {"+3", "3", "3"},
    {"-0", "0", "0"},
    {",5", "0.5", "0.5"},
    {"5,", "5", "5"},
    {"1E3", "1000", "1000"},
    {"1,5e-2", "0.015", "0.015"},
    {"2E+2", "200", "200"},
    {" 1,5E2 ", "150", "150"},
    {"1E-400", "0", "0"},
    {"0,1249999999999999999", "0.1249999999999999999", "0.1249999999999999999"},
    {"1.234,50", nullptr, "1234.5"},
    {"12.5", nullptr, "125"},
    {"1.2.3", nullptr, "123"},
    {"-1.000", nullptr, "-1000"},
    {"1.000E3", nullptr, "1000000"},
    {"1,2.3", nullptr, nullptr},   // a dot after the decimal comma
    {"1,2,3", nullptr, nullptr},
    {"", nullptr, nullptr},
    {"   ", nullptr, nullptr},
    {"abc", nullptr, nullptr},
    {"12abc", nullptr, nullptr},
    {"1 2", nullptr, nullptr},
    {",", nullptr, nullptr},
    {".", nullptr, nullptr},
    {"-", nullptr, nullptr},
    {"+-1", nullptr, nullptr},
    {"1E", nullptr, nullptr},
    {"E5", nullptr, nullptr},
    {"1E5,0", nullptr, nullptr},
    {"1E400", nullptr, nullptr},   // beyond the representable range
    {"12,5 EUR", nullptr, nullptr},
    {"\t5", nullptr, nullptr},
};

TEST(ReadNumber, StrictAndRegionalReadings)
{
    for (const ReadCase &c : readCases) {
        const QString text = QString::fromUtf8(c.text);
        for (const bool regional : {false, true}) {
            const char *expected = regional ? c.locale : c.strict;
            const auto read = [regional](const QString &t) { return regional ? readLocale(t) : readStrict(t); };
            const auto tryRead = [regional](const QString &t, Decimal *out) {
                return regional ? tryReadLocale(t, out) : tryReadStrict(t, out);
            };
            SCOPED_TRACE(std::string(regional ? "locale " : "strict ") + "'" + c.text + "'");
            Decimal value = Decimal(42);
            if (expected) {
                EXPECT_EQ(read(text), dec(expected));
                EXPECT_TRUE(tryRead(text, &value));
                EXPECT_EQ(value, dec(expected));
            } else {
                EXPECT_EQ(conversionErrorOf(read, text), notAFloatMessage(text));
                EXPECT_FALSE(tryRead(text, &value));
                EXPECT_EQ(value, Decimal(42)); // untouched on failure
            }
        }
    }
}

TEST(ReadNumber, MessagesQuoteTheOriginalText)
{
    EXPECT_EQ(notAFloatMessage(" 1.234,50 "), "' 1.234,50 ' is not a valid floating point value");
    EXPECT_EQ(conversionErrorOf(readStrict, QStringLiteral(" 1.234,50 ")),
              QStringLiteral("' 1.234,50 ' is not a valid floating point value"));
    EXPECT_EQ(conversionErrorOf(readLocale, QString()), QStringLiteral("'' is not a valid floating point value"));
    EXPECT_EQ(notADateMessage("31/02/2026"), "'31/02/2026' is not a valid date");
}

TEST(Dates, Reading)
{
    struct Case { const char *text; QDate expected; };
    const Case cases[] = {
        {"05/03/2026", QDate(2026, 3, 5)},
        {"5/3/2026", QDate(2026, 3, 5)},
        {"  05/03/2026 ", QDate(2026, 3, 5)},
        {"01/12/2026", QDate(2026, 12, 1)},
        {"05/03/26", QDate(2026, 3, 5)},
        {"1/1/00", QDate(2000, 1, 1)},
        {"31/12/49", QDate(2049, 12, 31)},
        {"01/01/50", QDate(1950, 1, 1)},
        {"31/12/99", QDate(1999, 12, 31)},
        {"29/02/2028", QDate(2028, 2, 29)},
        {"29/02/28", QDate(2028, 2, 29)},
        {"29/02/2026", QDate()},
        {"31/02/2026", QDate()},
        {"31/04/2026", QDate()},
        {"32/01/2026", QDate()},
        {"00/01/2026", QDate()},
        {"01/13/2026", QDate()},
        {"01/00/2026", QDate()},
        {"2026-03-05", QDate()},
        {"05-03-2026", QDate()},
        {"05.03.2026", QDate()},
        {"05/03", QDate()},
        {"05/03/", QDate()},
        {"05/03/202", QDate()},
        {"05/03/6", QDate()},
        {"05/03/20261", QDate()},
        {"005/03/2026", QDate()},
        {"05/03/2026x", QDate()},
        {"ab/cd/efgh", QDate()},
        {"", QDate()},
        {"  ", QDate()},
        {"__/__/__", QDate()},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        QDate read(1999, 1, 1);
        if (c.expected.isValid()) {
            EXPECT_EQ(readDate(text), c.expected);
            EXPECT_TRUE(tryReadDate(text, &read));
            EXPECT_EQ(read, c.expected);
        } else {
            EXPECT_EQ(conversionErrorOf(readDate, text), notADateMessage(text));
            EXPECT_FALSE(tryReadDate(text, &read));
            EXPECT_EQ(read, QDate(1999, 1, 1));
        }
    }
}

TEST(Dates, Writing)
{
    EXPECT_EQ(formatDate(QDate(2026, 3, 5)), "05/03/2026");
    EXPECT_EQ(formatDate(QDate(2026, 12, 31)), "31/12/2026");
    EXPECT_EQ(formatShortDate(QDate(2026, 3, 5)), "05/03/26");
    EXPECT_EQ(formatShortDate(QDate(2000, 10, 1)), "01/10/00");
    EXPECT_EQ(formatXmlDate(QDate(2026, 3, 5)), "2026-03-05");
    EXPECT_EQ(formatXmlDate(QDate(2026, 12, 1)), "2026-12-01");
    EXPECT_EQ(formatXmlDate(readDate("1/2/2026")), "2026-02-01");
    for (int year : {2000, 2026, 2049, 1950, 1999})
        EXPECT_EQ(readDate(formatShortDate(QDate(year, 2, 28))), QDate(year, 2, 28)) << year;
}

TEST(TextForms, UnaffectedByTheProcessLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char *chosen = nullptr;
    for (const char *name : {"it_IT.UTF-8", "it_IT.utf8", "de_DE.UTF-8", "de_DE.utf8", "C.UTF-8"})
        if (std::setlocale(LC_ALL, name)) {
            chosen = name;
            break;
        }
    ASSERT_NE(chosen, nullptr);
    SCOPED_TRACE(chosen);

    EXPECT_EQ(formatMask(dec("1234.5"), Mask2), "1234,50");
    EXPECT_EQ(formatMask(dec("1234567.891"), GroupedMask2), "1.234.567,89");
    EXPECT_EQ(formatMask(Decimal::fromDouble(2.675), Mask2), "2,67");
    EXPECT_EQ(dec("-12.5").toPlain(2), "-12.50");
    EXPECT_EQ(Decimal::fromDouble(8.55).toPlain(), "8.550000000000000710542736");
    EXPECT_DOUBLE_EQ(dec("12.5").toDouble(), 12.5);
    EXPECT_EQ(readStrict("12,5"), dec("12.5"));
    EXPECT_EQ(readLocale("1.234,5"), dec("1234.5"));
    EXPECT_EQ(formatDate(readDate("5/3/2026")), "05/03/2026");

    std::setlocale(LC_ALL, previous.c_str());
}

} // namespace
