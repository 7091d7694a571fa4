#include <gtest/gtest.h>
#include "conversion/EffectKeywords.h"
#include "support/ExpectCode.h"

namespace {

const wchar_t* const keywords[] = {
    L"mirrorh", L"mirrorv", L"grayscale", L"grayscaleinvert", L"sepia", L"warm", L"cool", L"saturateu",
    L"saturated", L"invertcolor", L"contrast", L"equalize", L"equalizes", L"soft", L"sharp", L"emboss",
    L"median", L"edge", L"edgedetect", L"mask", L"maskinvert", L"pixelate", L"blurradius", L"blurrotation",
    L"clearalpha", L"alpha", L"red", L"green", L"blue", L"rgbrbg", L"rgbgrb", L"rgbgbr", L"rgbbrg", L"rgbbgr"};

} // namespace

TEST(EffectKeywords, EveryKeywordHasItsIndexBothWays)
{
    ASSERT_EQ(sizeof(keywords) / sizeof(keywords[0]), 34u);
    for (int index = 1; index <= 34; ++index) {
        const wchar_t* keyword = keywords[index - 1];
        EXPECT_STREQ(effectName(index).buffer(), keyword) << index;
        EXPECT_EQ(effectIndexOf(keyword), index) << index;
    }
}

TEST(EffectKeywords, UnknownKeywordsAndIndexesAreNone)
{
    EXPECT_EQ(effectIndexOf(L"Mirrorh"), 0);
    EXPECT_EQ(effectIndexOf(L"RGBBGR"), 0);
    EXPECT_EQ(effectIndexOf(L""), 0);
    EXPECT_EQ(effectIndexOf(L"mirrorh/mirrorv"), 0);
    EXPECT_EQ(effectIndexOf(L"edge "), 0);
    EXPECT_STREQ(effectName(0).buffer(), L"");
    EXPECT_STREQ(effectName(35).buffer(), L"");
    EXPECT_STREQ(effectName(-1).buffer(), L"");
    expectCode(ERROR_INVALID_PARAMETER, [] { effectIndexOf(nullptr); });
}
