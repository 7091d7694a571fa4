// No picture beyond the size limit is made: the pixel code refuses it before it allocates anything.
#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <string>
#include "imaging/BitmapCopy.h"
#include "imaging/PictureSizeLimit.h"
#include "imaging/PictureTooLarge.h"
#include "support/ExpectCode.h"
#include "support/ImagingTestSupport.h"

namespace {

class PictureSizeLimitTest : public GdiplusTest {};

std::wstring messageOf(const Exception& exception)
{
    bool mustFree = false;
    wchar_t* text = exception.getMessage(mustFree);
    std::wstring message = text ? text : L"";
    if (text && mustFree)
        LocalFree(text);
    return message;
}

} // namespace

TEST(PictureSizeLimit, CountsPixelsAndTheBytesOfDeepPixelsAndNoSizeThatIsNoNumber)
{
    EXPECT_TRUE(PictureSizeLimit::admits(16384, 8192, 64));
    EXPECT_FALSE(PictureSizeLimit::admits(16384, 8192.5));
    EXPECT_FALSE(PictureSizeLimit::admits(16384, 8192, 128));
    const double infinity = std::numeric_limits<double>::infinity();
    for (double side : {-1.0, 1e300, infinity, std::nan("")})
        EXPECT_FALSE(PictureSizeLimit::admits(side, 1) || PictureSizeLimit::admits(1, side)) << side;
}

TEST(PictureSizeLimit, TheRefusalSaysWhyAndNamesTheSizeAskedFor)
{
    EXPECT_NO_THROW(PictureTooLarge::throwIfBeyondLimit(16384, 8192));
    expectCode(ERROR_NOT_ENOUGH_MEMORY, [] { PictureTooLarge::throwIfBeyondLimit(4593661, 800); });
    std::wstring why = messageOf(Exception(ERROR_NOT_ENOUGH_MEMORY));
    ASSERT_FALSE(why.empty());
    while (!why.empty() && (why.back() == L'\n' || why.back() == L'\r'))
        why.pop_back();
    EXPECT_EQ(messageOf(PictureTooLarge(4593661, 800)), why + L" (4593661 x 800)");
    EXPECT_EQ(messageOf(PictureTooLarge(1e300, 0.5)), why + L" (? x 1)");
}

TEST_F(PictureSizeLimitTest, BitmapsAndDibsBeyondTheLimitAreRefusedAndThoseUpToItAreMade)
{
    for (Gdiplus::PixelFormat format : {PixelFormat32bppARGB, PixelFormat24bppRGB, PixelFormat1bppIndexed}) {
        SetLastError(0);
        EXPECT_EQ(createBitmap(40000, 40000, format), nullptr) << format;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << format;
    }
    Dib dib;
    ASSERT_TRUE(dib.create(8, 1, 24, 0));
    SetLastError(0);
    EXPECT_FALSE(dib.resizeCanvas(40000, 40000, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_TRUE(dib.isEmpty());

    // At the limit, in a depth that keeps the test light.
    EXPECT_TRUE(BitmapPtr(createBitmap(16384, 8192, PixelFormat1bppIndexed)));
    EXPECT_TRUE(dib.create(16384, 8192, 1, 0));
}
