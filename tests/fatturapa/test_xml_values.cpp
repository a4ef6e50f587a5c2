// Escaping, transmission progressive, file name and the text forms of values in the files.
#include "data/app_error.h"
#include "fatturapa/codifica_xml.h"
#include "fatturapa/file_naming.h"
#include "fatturapa/xml_forms.h"

#include <QLocale>
#include <gtest/gtest.h>

#include "test_printing.h"

namespace {

TEST(CodificaXml, ReplacesEachListedCharacterByItsReferenceInOnePass)
{
    const struct {
        QString in, out;
    } cases[] = {
        {QStringLiteral("R&D - 10°"), QStringLiteral("R&#38;D &#45; 10&#176;")},
        {QStringLiteral("&#38;"), QStringLiteral("&#38;#38;")}, // an escaped text is escaped again
        {QStringLiteral("!\"/-°@+&"), QStringLiteral("&#33;&#34;&#47;&#45;&#176;&#64;&#43;&#38;")},
        {QStringLiteral("a<b>c"), QStringLiteral("a&#60;b&#62;c")}, // keeps the file well-formed
        {QStringLiteral("L'Aquila, Città; #1 = 100% (ok)?"), QStringLiteral("L'Aquila, Città; #1 = 100% (ok)?")},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CodificaXml(c.in), c.out) << c.in.toStdString();
}

TEST(EscapeMarkup, ReplacesOnlyTheMarkupCharacters)
{
    EXPECT_EQ(escapeMarkup(QStringLiteral("A&B <x> -/@+!°\"")), QStringLiteral("A&#38;B &#60;x&#62; -/@+!°\""));
    EXPECT_EQ(escapeMarkup(QStringLiteral("info@alfa-beta.it")), QStringLiteral("info@alfa-beta.it"));
}

TEST(XmlCharactersOnly, LeavesOutWhatAnXmlDocumentCannotHold)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x94\xA9"); // U+1F529, a surrogate pair
    const struct {
        QString in, out;
    } cases[] = {
        {QString(QChar(u'\0')) + QStringLiteral("a\x01\x08\x0B\x0C\x1F\x7F"), QStringLiteral("a\x7F")},
        {QStringLiteral("\t\n\r x"), QStringLiteral("\t\n\r x")},
        {QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b") + QChar(0xDC00), QStringLiteral("ab")}, // unpaired
        {emoji + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xFFFD) + QChar(0xE000), emoji + QChar(0xFFFD) + QChar(0xE000)},
        {QStringLiteral("Città è &#38;"), QStringLiteral("Città è &#38;")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(xmlCharactersOnly(c.in), c.out) << c.in.toStdString();
}

TEST(ProgressivoInvio, CountsFromTheKeyAndTakesItsPrefixFromTheCaption)
{
    const struct {
        int key;
        const char *caption;
        const char *expected;
    } cases[] = {
        {7, "A", "00007"},       {7, "B", "P0007"},       {42, "A", "00042"},     {9999, "A", "09999"},
        {10000, "A", "010000"},  {19998, "A", "019998"},  {19998, "X", "P19998"}, {19999, "A", "00001"},
        {20000, "A", "00002"},   {20012, "Z", "P0014"},   {29997, "A", "09999"},  {29998, "A", "010000"},
        {29998, "B", "P10000"},  {7, "a", "P0007"},       {7, "A ", "P0007"},     {7, "", "P0007"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(progressivoInvio(c.key, QString::fromUtf8(c.caption)), QLatin1String(c.expected))
            << c.key << " '" << c.caption << "'";
}

TEST(XmlBaseName, JoinsCountryVatNumberAndProgressive)
{
    const QString name = xmlBaseName(QStringLiteral("01234567890"), progressivoInvio(42, QStringLiteral("A"))) + QStringLiteral(".xml");
    EXPECT_EQ(name, QStringLiteral("IT01234567890_00042.xml"));
    EXPECT_EQ(name.size(), 23);
}

TEST(XmlForms, AmountsPricesAndInstalmentsAreRoundedHalfAwayFromZeroWithAPoint)
{
    using namespace XmlForms;
    const struct {
        QString (*form)(const QString &);
        const char *stored, *written;
    } cases[] = {
        {amount, "1234,5", "1234.50"},  {amount, "0", "0.00"},        {amount, "-5", "-5.00"},
        {amount, "1.234,56", "1234.56"}, {amount, "10000", "10000.00"}, {amount, "0,005", "0.01"},
        {amount, "-0,005", "-0.01"},     {amount, "-0,004", "0.00"},    {amount, " 22 ", "22.00"},
        {amount, "5,5", "5.50"},         {amount, "1,5E2", "150.00"},   {amount, "999999999,995", "1000000000.00"},
        {price, "12,5", "12.5000"},      {price, "0", "0.0000"},        {price, "1,23455", "1.2346"},
        {price, "-3,1", "-3.1000"},      {price, "1.000", "1000.0000"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.form(QString::fromUtf8(c.stored)), QLatin1String(c.written)) << c.stored;

    EXPECT_EQ(instalmentAmount(Decimal::fromPlain("33.333")), QStringLiteral("33.33"));
    EXPECT_EQ(instalmentAmount(Decimal::fromPlain("150000.01")), QStringLiteral("150000.01"));
    EXPECT_EQ(amountOf(Decimal::fromPlain("150000.02")), QStringLiteral("150000.02"));
}

TEST(XmlForms, NumbersKeepThePointUnderAnItalianLocale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(XmlForms::amount(QStringLiteral("1234,5")), QStringLiteral("1234.50"));
    EXPECT_EQ(XmlForms::price(QStringLiteral("1.234,5")), QStringLiteral("1234.5000"));
    EXPECT_EQ(XmlForms::amountOf(Decimal::fromPlain("0.1")), QStringLiteral("0.10"));
    QLocale::setDefault(before);
}

TEST(XmlForms, AmountThatIsNotANumberRaisesTheConversionError)
{
    for (const char *text : {"", "abc", "12,3,4", "1 000"}) {
        try {
            XmlForms::amount(QString::fromUtf8(text));
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const ConversionError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("'%1' is not a valid floating point value").arg(QString::fromUtf8(text)));
        }
    }
}

TEST(XmlForms, PercentagesHaveTwoDecimalsAndDiscountAmountsTwoToEight)
{
    const struct {
        const char *stored, *percentage;
    } percentages[] = {
        {"10,00", "10.00"}, {"2,675", "2.68"}, {"10,5", "10.50"}, {"5", "5.00"}, {"-1,5", "-1.50"},
        {"1.000,50", "1000.50"}, {"0,005", "0.01"}, {"33,333333", "33.33"},
    };
    for (const auto &c : percentages)
        EXPECT_EQ(XmlForms::percentage(QString::fromUtf8(c.stored)), QString::fromUtf8(c.percentage)) << c.stored;
    EXPECT_THROW(XmlForms::percentage(QStringLiteral("1,2,3")), ConversionError);
    EXPECT_THROW(XmlForms::percentage(QString()), ConversionError);

    const struct {
        const char *plain, *amount;
    } amounts[] = {
        {"0.6993000000", "0.6993"},    // as the import stores 9,99 at 7 %
        {"1.123456789", "1.12345679"}, // rounded at the eighth decimal
        {"0.000000005", "0.00000001"}, // half away from zero
        {"-0.000000005", "-0.00000001"},
        {"0.000000004", "0.00"},
        {"5", "5.00"},
        {"10.5", "10.50"},
        {"2.675", "2.675"},
        {"-1.99999999999", "-2.00"},
        {"12345678901.12345678", "12345678901.12345678"},
    };
    for (const auto &c : amounts)
        EXPECT_EQ(XmlForms::discountAmountOf(Decimal::fromPlain(c.plain)), QString::fromUtf8(c.amount)) << c.plain;
}

TEST(XmlForms, DatesAreWrittenYearMonthDay)
{
    const struct {
        const char *stored, *written;
    } cases[] = {{"01/12/2026", "2026-12-01"}, {"05/03/2026", "2026-03-05"}, {"5/3/2026", "2026-03-05"},
                 {"29/02/2028", "2028-02-29"}, {"31/12/1999", "1999-12-31"}, {"07/01/26", "2026-01-07"}};
    for (const auto &c : cases)
        EXPECT_EQ(XmlForms::date(QString::fromUtf8(c.stored)), QLatin1String(c.written)) << c.stored;

    for (const char *bad : {"", "31/02/2026", "2026-03-05", "05.03.2026", "5/3", "xx"}) {
        try {
            XmlForms::date(QString::fromUtf8(bad));
            ADD_FAILURE() << "no error for '" << bad << "'";
        } catch (const ConversionError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("'%1' is not a valid date").arg(QString::fromUtf8(bad)));
        }
    }
}

TEST(XmlForms, PositiveAndTrimmed)
{
    EXPECT_TRUE(XmlForms::isPositive(QStringLiteral("0.01")));
    EXPECT_FALSE(XmlForms::isPositive(QStringLiteral("0.00")));
    EXPECT_FALSE(XmlForms::isPositive(QStringLiteral("-0.01")));
    EXPECT_EQ(XmlForms::trimmed(QStringLiteral(" \t a b \r\n")), QStringLiteral("a b"));
    EXPECT_EQ(XmlForms::trimmed(QStringLiteral("   ")), QString());
}

} // namespace
