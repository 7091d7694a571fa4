#include <gtest/gtest.h>
#include "toolkit/Font.h"

namespace {

LOGFONTW describe(HFONT font)
{
    LOGFONTW description{};
    GetObjectW(font, sizeof(description), &description);
    return description;
}

} // namespace

// The test prefix has the IPA Gothic fonts, with "MS Gothic" as a replacement name of one of them.
TEST(fontExists, FindsInstalledFamiliesAndTheirReplacements)
{
    EXPECT_TRUE(fontExists(L"IPAGothic"));
    EXPECT_TRUE(fontExists(L"MS Gothic"));
    EXPECT_FALSE(fontExists(L"Korvilane No Such Face"));
    EXPECT_FALSE(fontExists(L"A face name much longer than any font record can hold"));
    EXPECT_FALSE(fontExists(L""));
}

TEST(Font, CreateSizesThePointsForTheContext)
{
    HDC display = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    int displayHeight = -MulDiv(12, GetDeviceCaps(display, LOGPIXELSY), 72);
    DeleteDC(display);

    Font font;
    EXPECT_EQ(font.handle(), nullptr);
    ASSERT_TRUE(font.create(nullptr, L"IPAGothic", 12, FW_BOLD, true, false, true, SHIFTJIS_CHARSET));
    LOGFONTW made = describe(font.handle());
    EXPECT_EQ(made.lfHeight, displayHeight);
    EXPECT_EQ(made.lfWeight, FW_BOLD);
    EXPECT_TRUE(made.lfItalic && made.lfStrikeOut && !made.lfUnderline);
    EXPECT_EQ(made.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(made.lfFaceName, L"IPAGothic");

    // A second font on a given context replaces the first, which is deleted.
    HFONT first = font.handle();
    HDC memory = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(font.create(memory, L"IPAPGothic", 36, FW_NORMAL, false, true, false, DEFAULT_CHARSET));
    EXPECT_EQ(describe(font.handle()).lfHeight, -MulDiv(36, GetDeviceCaps(memory, LOGPIXELSY), 72));
    EXPECT_EQ(GetObjectType(first), 0u);
    HFONT second = font.handle();
    font.release();
    EXPECT_EQ(font.handle(), nullptr);
    EXPECT_EQ(GetObjectType(second), 0u);
    DeleteDC(memory);
}
