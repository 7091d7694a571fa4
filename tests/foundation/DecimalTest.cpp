#include <gtest/gtest.h>
#include "foundation/Decimal.h"
#include "ValueTestSupport.h"

namespace {

Decimal number(const wchar_t* text)
{
    Decimal value(0);
    value.parse(text);
    return value;
}

wstring text(const Decimal& value)
{
    return value.toString();
}

const wchar_t* const Largest = L"79228162514264337593543950335";

} // namespace

TEST(Decimal, ToStringKeepsTheScale)
{
    EXPECT_STREQ(text(number(L"0.05")).buffer(), L"0.05");
    EXPECT_STREQ(text(number(L"-2.5")).buffer(), L"-2.5");
    EXPECT_STREQ(text(number(L"0")).buffer(), L"0");
    EXPECT_STREQ(text(number(L"12")).buffer(), L"12");
    EXPECT_STREQ(text(number(L"-0.0000000000000000000000000001")).buffer(), L"-0.0000000000000000000000000001");
    EXPECT_STREQ(text(number(Largest)).buffer(), Largest);
    // Trailing zeros come from arithmetic and truncation and stay.
    EXPECT_STREQ(text(Decimal(0.75).multiply(Decimal(2))).buffer(), L"1.50");
    EXPECT_STREQ(text(number(L"1.509").truncate(2)).buffer(), L"1.50");
}

TEST(Decimal, ParseReadsTrimmedTextAndRejectsBlankText)
{
    EXPECT_STREQ(text(number(L"  1.25\t")).buffer(), L"1.25");
    EXPECT_STREQ(text(number(L"1E2")).buffer(), L"100");

    Decimal value(3);
    EXPECT_EQ(thrownCode([&] { value.parse(L""); }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(thrownCode([&] { value.parse(L" \r\n"); }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(thrownCode([&] { value.parse(L"abc"); }), static_cast<int>(DISP_E_TYPEMISMATCH));
    EXPECT_STREQ(text(value).buffer(), L"3");

    value.parseOrDefault(L"abc", Decimal(7));
    EXPECT_STREQ(text(value).buffer(), L"7");
    value.parseOrDefault(L"", Decimal(8));
    EXPECT_STREQ(text(value).buffer(), L"8");
    value.parseOrDefault(L"2.5", Decimal(8));
    EXPECT_STREQ(text(value).buffer(), L"2.5");
    // Only "not a number" falls back; an overflow is reported.
    EXPECT_EQ(thrownCode([&] { value.parseOrDefault(L"1e40", Decimal(8)); }), static_cast<int>(DISP_E_OVERFLOW));
    EXPECT_STREQ(text(value).buffer(), L"2.5");
}

TEST(Decimal, StoredTextRoundTripsUnderACommaLocale)
{
    ThreadLocaleScope german(GermanLocale);
    Decimal value = number(L"1234.56");
    EXPECT_STREQ(text(value).buffer(), L"1234.56");
    EXPECT_EQ(number(text(value).buffer()).compare(value), VARCMP_EQ);
    EXPECT_STREQ(text(number(L"2.5")).buffer(), L"2.5");
    EXPECT_STREQ(value.toStringDecimals(1).buffer(), L"1234.6");
    // Display text follows the locale.
    EXPECT_STREQ(value.toLocaleString(3).buffer(), L"1234,560");
    EXPECT_STREQ(number(L"-0.5").toLocaleString(1).buffer(), L"-0,5");
}

TEST(Decimal, ToStringDecimalsRoundsAndPadsWithoutGrouping)
{
    EXPECT_STREQ(number(L"-0.001").toStringDecimals(2).buffer(), L"-0.00");
    EXPECT_STREQ(number(L"12345.6").toStringDecimals(2).buffer(), L"12345.60");
    EXPECT_STREQ(number(L"7").toStringDecimals(0).buffer(), L"7");
    EXPECT_STREQ(number(L"2.345").toStringDecimals(2).buffer(), L"2.35");
    EXPECT_STREQ(number(L"1234567.5").toLocaleString(0).buffer(), L"1234568");
    EXPECT_EQ(number(L"1.5").toStringDecimals(28).length(), 30);
    // A bad digit count must not reach the platform formatter, which can overrun its buffers on it.
    EXPECT_EQ(thrownCode([] { number(L"1.5").toStringDecimals(-1); }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(thrownCode([] { number(L"1.5").toLocaleString(1000); }), ERROR_INVALID_PARAMETER);
}

TEST(Decimal, TruncateAndFixCutTowardZeroExactly)
{
    EXPECT_STREQ(text(number(L"1.239").truncate(2)).buffer(), L"1.23");
    EXPECT_STREQ(text(number(L"-1.239").truncate(2)).buffer(), L"-1.23");
    EXPECT_STREQ(text(number(L"1.5").truncate(5)).buffer(), L"1.5");
    EXPECT_STREQ(text(number(L"-7.9").truncate(0)).buffer(), L"-7");
    EXPECT_EQ(thrownCode([] { number(L"1.5").truncate(-1); }), ERROR_INVALID_PARAMETER);

    // Beyond the precision of a double the cut must still be exact.
    EXPECT_STREQ(text(number(L"0.99999999999999999").fix()).buffer(), L"0");
    EXPECT_STREQ(text(number(L"12345678901234567.89").fix()).buffer(), L"12345678901234567");
    EXPECT_STREQ(text(number(L"-7922816251426433759354395033.5").fix()).buffer(), L"-7922816251426433759354395033");
    EXPECT_STREQ(text(number(L"1.99999999999999999").truncate(2)).buffer(), L"1.99");
}

TEST(Decimal, ZeroNeverCarriesANegativeSign)
{
    Decimal zeros[] = {number(L"-2.5").multiply(Decimal(0)), number(L"-0.5").add(number(L"0.5")),
                       Decimal(0).divide(Decimal(-4)), number(L"-0"), number(L"-0.00"), number(L"-0.3").fix(),
                       number(L"-0.001").truncate(2), Decimal(-0.0), number(L"-0").abs()};
    for (const Decimal& zero : zeros) {
        EXPECT_FALSE(zero.isNegative()) << text(zero).buffer();
        EXPECT_NE(text(zero).buffer()[0], L'-');
        EXPECT_NE(zero.toStringDecimals(2).buffer()[0], L'-');
        EXPECT_EQ(zero.compare(Decimal(0)), VARCMP_EQ);
    }
    Decimal product = number(L"-2.5");
    product *= Decimal(0);
    EXPECT_STREQ(text(product).buffer(), L"0.0");
}

TEST(Decimal, ToIntDropsTheFraction)
{
    EXPECT_EQ(number(L"-3.9").toInt(), -3);
    EXPECT_EQ(number(L"3.9").toInt(), 3);
    EXPECT_EQ(number(L"2.5").toInt(), 2);
    EXPECT_EQ(number(L"2147483647.99").toInt(), 2147483647);
    EXPECT_EQ(number(L"-2147483648.99").toInt(), -2147483647 - 1);
    EXPECT_EQ(thrownCode([] { number(L"3000000000").toInt(); }), static_cast<int>(DISP_E_OVERFLOW));
    EXPECT_DOUBLE_EQ(number(L"-0.25").toDouble(), -0.25);
}

TEST(Decimal, ToIntRoundedTakesHalvesToTheEvenNeighbour)
{
    EXPECT_EQ(number(L"2.5").toIntRounded(), 2);
    EXPECT_EQ(number(L"3.5").toIntRounded(), 4);
    EXPECT_EQ(number(L"-2.5").toIntRounded(), -2);
    EXPECT_EQ(number(L"-3.5").toIntRounded(), -4);
    EXPECT_EQ(number(L"2.51").toIntRounded(), 3);
    EXPECT_EQ(number(L"-2.49").toIntRounded(), -2);
    EXPECT_EQ(thrownCode([] { number(L"2147483647.5").toIntRounded(); }), static_cast<int>(DISP_E_OVERFLOW));
}

TEST(Decimal, ArithmeticAndOrder)
{
    EXPECT_STREQ(text(number(L"1.5").add(number(L"2.25"))).buffer(), L"3.75");
    EXPECT_STREQ(text(number(L"1").divide(Decimal(4))).buffer(), L"0.25");
    EXPECT_STREQ(text(number(L"-1.5").abs()).buffer(), L"1.5");
    Decimal value(10);
    value += number(L"0.5");
    value *= Decimal(2);
    value /= Decimal(-3);
    EXPECT_EQ(value.compare(Decimal(-7)), VARCMP_EQ);

    EXPECT_EQ(number(L"1.5").compare(number(L"1.50")), VARCMP_EQ);
    EXPECT_EQ(number(L"-2").compare(number(L"1")), VARCMP_LT);
    EXPECT_EQ(number(L"0.01").compare(number(L"0.001")), VARCMP_GT);
}

TEST(Decimal, FailedCompoundOperationLeavesTheReceiver)
{
    Decimal value = number(Largest);
    EXPECT_EQ(thrownCode([&] { value += Decimal(1); }), static_cast<int>(DISP_E_OVERFLOW));
    EXPECT_EQ(thrownCode([&] { value *= Decimal(2); }), static_cast<int>(DISP_E_OVERFLOW));
    EXPECT_STREQ(text(value).buffer(), Largest);

    Decimal half = number(L"0.5");
    EXPECT_EQ(thrownCode([&] { half /= Decimal(0); }), static_cast<int>(DISP_E_DIVBYZERO));
    EXPECT_STREQ(text(half).buffer(), L"0.5");
}

TEST(Decimal, RoundGoesToTheNearestValueOfThatManyPlacesAndHalvesToTheEvenOne)
{
    auto rounded = [](const wchar_t* value, int digits, const wchar_t* expected) {
        EXPECT_EQ(number(value).round(digits).compare(number(expected)), VARCMP_EQ) << value << " " << digits;
    };
    rounded(L"2.3451", 2, L"2.35");
    rounded(L"2.3449", 2, L"2.34");
    rounded(L"0.149", 1, L"0.1");
    rounded(L"2.345", 2, L"2.34");
    rounded(L"2.355", 2, L"2.36");
    rounded(L"-0.5", 0, L"0");
    rounded(L"-0.96", 1, L"-1");
    rounded(L"9.99", 0, L"10");
    rounded(L"1.5", 4, L"1.5");
    // Beyond the precision of a double.
    rounded(L"12345678901234567.126", 2, L"12345678901234567.13");
    EXPECT_FALSE(number(L"-0.04").round(1).isNegative()) << "no negative zero";
    EXPECT_EQ(thrownCode([] { number(L"1.5").round(-1); }), ERROR_INVALID_PARAMETER);
}

TEST(Decimal, TypedTextIsReadInTheThreadLocale)
{
    ThreadLocaleScope german(GermanLocale);
    Decimal value(0);
    value.parseLocaleOrDefault(L"-1.234,5", Decimal(7));
    EXPECT_STREQ(text(value).buffer(), L"-1234.5");
    value.parseLocaleOrDefault(number(L"0.25").toLocaleString(2), Decimal(7));
    EXPECT_STREQ(text(value).buffer(), L"0.25") << "what the display writes reads back";
    value.parseLocaleOrDefault(L"zwei", Decimal(7));
    EXPECT_STREQ(text(value).buffer(), L"7");
}
