#include <gtest/gtest.h>
#include "foundation/Integer.h"
#include "ValueTestSupport.h"

namespace {

int parsed(const wchar_t* text)
{
    Integer number(0);
    number.parse(text);
    return number.value;
}

} // namespace

TEST(Integer, ParsesTheWholeRangeAndNothingBeyond)
{
    EXPECT_EQ(parsed(L"2147483647"), 2147483647);
    EXPECT_EQ(parsed(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parsed(L"-0"), 0);
    EXPECT_EQ(parsed(L"0000000042"), 42);
    EXPECT_EQ(parsed(L" \t42\r\n "), 42);

    const wchar_t* invalid[] = {L"2147483648", L"-2147483649", L"12345678901", L"-12345678901", L"+5", L"-", L"",
                                L"   ", L"12a", L"1 2", L"1.5", L"-0x10", L"0x123456789", L"0xg", L"0x-1", L"x10"};
    for (const wchar_t* text : invalid) {
        Integer number(7);
        EXPECT_EQ(thrownCode([&] { number.parse(text); }), ERROR_INVALID_PARAMETER) << text;
        EXPECT_EQ(number.value, 7) << text;
    }
}

TEST(Integer, HexadecimalIsABitPattern)
{
    EXPECT_EQ(parsed(L"0x1F"), 31);
    EXPECT_EQ(parsed(L"0X1f"), 31);
    EXPECT_EQ(parsed(L"0x"), 0);
    EXPECT_EQ(parsed(L"0xffffffff"), -1);
    EXPECT_EQ(parsed(L"0x80000000"), -2147483647 - 1);
    EXPECT_EQ(parsed(L"0x0080ff"), 0x80ff);
}

TEST(Integer, ParseOrDefaultKeepsTheDefaultForNonNumbers)
{
    Integer number(1);
    number.parseOrDefault(L"abc", 0x0080FF);
    EXPECT_EQ(number.value, 0x0080FF);
    number.parseOrDefault(L"", 5);
    EXPECT_EQ(number.value, 5);
    number.parseOrDefault(L"0x10", 5);
    EXPECT_EQ(number.value, 16);
}

TEST(Integer, FormatsAsDecimalAndLowerCaseHex)
{
    EXPECT_STREQ(Integer(-2147483647 - 1).toString().buffer(), L"-2147483648");
    EXPECT_STREQ(Integer(-1).toHexString().buffer(), L"ffffffff");
    EXPECT_STREQ(Integer(255).toHexString().buffer(), L"ff");

    // Colours are stored as "0x" and "%x" and must read back as the same value.
    for (int colour : {0, 0xFF0000, 0x0080FF, -1, 0x7FFFFFFF}) {
        Integer stored(colour);
        EXPECT_EQ(parsed((L"0x" + stored.toHexString()).buffer()), colour);
        EXPECT_EQ(parsed(stored.toString().buffer()), colour);
    }
}
