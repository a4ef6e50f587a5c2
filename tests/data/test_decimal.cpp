// Exact decimal arithmetic: products and sums without loss, rounding half away from zero,
// overflow and division by zero as errors, and the reading of a double's exact value.
#include "data/app_error.h"
#include "data/decimal.h"
#include "decimal_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(Decimal, SumsDifferencesAndProductsAreExact)
{
    EXPECT_EQ(dec("1234.00") * dec("1234.567"), dec("1523455.678"));
    EXPECT_EQ((dec("1234.00") * dec("1234.567")).toPlain(), "1523455.678");
    EXPECT_EQ(dec("0.1") + dec("0.2"), dec("0.3"));
    EXPECT_EQ(dec("0.1") - dec("0.3"), dec("-0.2"));
    EXPECT_EQ(dec("-2.5") * dec("4"), Decimal(-10));
    EXPECT_EQ((dec("1.10") * dec("1.10")).toPlain(), "1.21");
    // 10^37 + 10^-30 needs 68 digits in total: beyond 128 bits, so it is an error, not a loss.
    EXPECT_THROW(dec("1e37") + dec("1e-30"), AppError);
}

TEST(Decimal, ProductsBeyondMaxScaleAreRoundedNotOverflowed)
{
    // 25 significant digits squared: a 50-digit exact product, rounded to 30 decimals.
    const Decimal tenth = dec("0.1000000000000000055511151");
    EXPECT_EQ((tenth * tenth).toPlain(), "0.01000000000000000111022302");
    EXPECT_EQ((dec("1e-20") * dec("5e-11")).toPlain(), "0.000000000000000000000000000001");
    EXPECT_TRUE((dec("1e-20") * dec("4e-11")).isZero());
    // 10 integer digits and 30 decimals do not fit in 128 bits: one decimal less, rounded once.
    EXPECT_EQ((dec("12345678901.123456789") * tenth).toPlain(), "1234567890.11234574743228456777782794562");
    // Quotients likewise keep the decimals that fit.
    EXPECT_EQ(dec("-541800478380533158.6").divided(dec("-55"), 26).toPlain(), "9850917788736966.52");
}

TEST(Decimal, OverflowRaisesInsteadOfWrapping)
{
    const Decimal big = dec("1e38");
    EXPECT_THROW(big + big, AppError);
    EXPECT_THROW(-big - big, AppError);
    EXPECT_THROW(dec("1e20") * dec("1e20"), AppError);
    EXPECT_THROW(big.divided(dec("0.1"), 0), AppError);
    EXPECT_THROW(dec("1e30").divided(dec("1e-30"), 30), AppError);
    EXPECT_NO_THROW(dec("1e19") * dec("1e19"));
    bool ok = true;
    Decimal::fromPlain("1e39", &ok);
    EXPECT_FALSE(ok);
}

TEST(Decimal, DivisionRoundsHalfAwayFromZero)
{
    struct Case { const char *a, *b; int scale; const char *expected; };
    const Case cases[] = {
        {"100", "3", 2, "33.33"},
        {"100.01", "2", 2, "50.01"},       // 50.005
        {"-100.01", "2", 2, "-50.01"},
        {"100.01", "-2", 2, "-50.01"},
        {"300000.02", "2", 2, "150000.01"},
        {"2", "3", 2, "0.67"},
        {"-2", "3", 2, "-0.67"},
        {"1", "8", 2, "0.13"},             // 0.125
        {"1", "3", 0, "0"},
        {"1", "0.0003", 2, "3333.33"},
        {"1", "7", 30, "0.142857142857142857142857142857"},
        {"123456789012345678901234567", "1e-10", 0, "1234567890123456789012345670000000000"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dec(c.a).divided(dec(c.b), c.scale).toPlain(), c.expected)
            << c.a << " / " << c.b << " at " << c.scale;
    EXPECT_THROW(dec("1").divided(Decimal(), 2), AppError);
    EXPECT_THROW(Decimal().divided(Decimal(), 2), AppError);
}

TEST(Decimal, RoundingHalfAwayFromZero)
{
    struct Case { const char *value; int decimals; const char *expected; };
    const Case cases[] = {
        {"2.675", 2, "2.68"}, {"-2.675", 2, "-2.68"}, {"2.674999", 2, "2.67"},
        {"0.5", 0, "1"},      {"-0.5", 0, "-1"},      {"0.49", 0, "0"},
        {"0.004", 2, "0"},    {"9.995", 2, "10"},   {"1250", -2, "1300"},   {"-1249", -2, "-1200"},
        {"12.5", 4, "12.5"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(dec(c.value).rounded(c.decimals).toPlain(), c.expected) << c.value;

    const Case significant[] = {
        {"123456", 3, "123000"},  {"123500", 3, "124000"}, {"0.00123456", 3, "0.00123"},
        {"-0.0012355", 4, "-0.001236"}, {"99.96", 3, "100"},  {"1.5", 18, "1.5"},
        {"0.1249999999999999999", 18, "0.125"},
    };
    for (const Case &c : significant)
        EXPECT_EQ(dec(c.value).roundedSignificant(c.decimals).toPlain(), c.expected) << c.value;
}

TEST(Decimal, ComparesAcrossScales)
{
    EXPECT_EQ(dec("1.50"), dec("1.5"));
    EXPECT_EQ(dec("1.50").scale(), 1); // normalized
    EXPECT_GT(Decimal(2), dec("1.99"));
    EXPECT_LT(Decimal(-2), dec("-1.99"));
    EXPECT_LT(dec("-0.001"), Decimal());
    EXPECT_GT(dec("1e38"), dec("0.000000000000000000000000000001"));
    EXPECT_EQ(-Decimal(), Decimal());
}

TEST(Decimal, PlainTexts)
{
    EXPECT_EQ(dec("12.50").toPlain(), "12.5");
    EXPECT_EQ(dec("-0.001").toPlain(), "-0.001");
    EXPECT_EQ(Decimal(100).toPlain(), "100");
    EXPECT_EQ((Decimal() * dec("1.5")).toPlain(), "0");
    EXPECT_EQ(dec("0.25").divided(Decimal(1000), 2).toPlain(), "0");
    EXPECT_EQ(Decimal::fromInt(-9'000'000'000LL).toPlain(), "-9000000000");
    EXPECT_EQ(dec("1").toPlain(3), "1.000");
    EXPECT_EQ(dec("-0.004").toPlain(2), "0.00");
    EXPECT_EQ(dec("-0.005").toPlain(2), "-0.01");
    EXPECT_EQ(dec("1234.5678").toPlain(0), "1235");
    EXPECT_EQ(dec("1.5e3").toPlain(), "1500");
    EXPECT_EQ(dec(".5").toPlain(), "0.5");
    EXPECT_EQ(dec("+5.").toPlain(), "5");
    EXPECT_EQ(dec("5E-31").toPlain(), "0.000000000000000000000000000001");
    EXPECT_TRUE(dec("4E-31").isZero());
    EXPECT_TRUE(dec("1e-999999999999").isZero());
    EXPECT_DOUBLE_EQ(dec("12.5").toDouble(), 12.5);
    EXPECT_DOUBLE_EQ(dec("-0.1").toDouble(), -0.1);

    for (const char *bad : {"", "-", ".", "1,5", " 1", "1 ", "1e", "1e+", "1.2.3", "abc", "0x10", "1e5.0"}) {
        bool ok = true;
        EXPECT_TRUE(Decimal::fromPlain(bad, &ok).isZero()) << bad;
        EXPECT_FALSE(ok) << '"' << bad << '"';
    }
}

TEST(Decimal, FromDoubleTakesTheExactBinaryValueTo25Digits)
{
    EXPECT_EQ(Decimal::fromDouble(8.55).toPlain(), "8.550000000000000710542736");
    EXPECT_EQ(Decimal::fromDouble(2.675).toPlain(), "2.674999999999999822364316");
    EXPECT_EQ(Decimal::fromDouble(0.1).toPlain(), "0.1000000000000000055511151");
    EXPECT_EQ(Decimal::fromDouble(-123456.789).toPlain(), "-123456.7890000000043073669");
    EXPECT_EQ(Decimal::fromDouble(1e20).toPlain(), "100000000000000000000");
    EXPECT_EQ(Decimal::fromDouble(0.5).toPlain(), "0.5");
    EXPECT_TRUE(Decimal::fromDouble(-0.0).isZero());
    EXPECT_TRUE(Decimal::fromDouble(1e-40).isZero());
    EXPECT_TRUE(Decimal::fromDouble(std::numeric_limits<double>::denorm_min()).isZero());
    EXPECT_NO_THROW(Decimal::fromDouble(1e38));
    EXPECT_THROW(Decimal::fromDouble(1e39), AppError);
    EXPECT_THROW(Decimal::fromDouble(-1e300), AppError);
    EXPECT_THROW(Decimal::fromDouble(std::numeric_limits<double>::infinity()), AppError);
    EXPECT_THROW(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()), AppError);
}

} // namespace
