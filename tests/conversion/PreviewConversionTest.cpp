#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>
#include <string>
#include "conversion/PreviewConversion.h"
#include "imaging/GdiplusEncoder.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "support/LentSettings.h"
#include "support/WicTesting.h"

namespace {

// Gives up by throwing, as a step does that meets an error deep down.
class ThrowingCanceller : public ICanceller {
public:
    bool isCancelled() override { throw Exception(ERROR_INVALID_DATA); }
};

// The memory the process has taken for itself (Wine leaves PrivateUsage at 0).
SIZE_T privateBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

class PreviewConversionTest : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        source = folder.file(L"写真.png");
        BitmapPtr picture(makeQuarters(40, 30));
        CLSID png{};
        ASSERT_GE(getEncoderClsid(L"image/png", &png), 0);
        ASSERT_EQ(picture->Save(source.c_str(), &png, nullptr), Gdiplus::Ok);
    }

    // The stream in the holder decoded again.
    static BitmapPtr decode(ComPtr<IStream>& holder)
    {
        LARGE_INTEGER start{};
        holder->Seek(start, STREAM_SEEK_SET, nullptr);
        BitmapPtr decoded(new Gdiplus::Bitmap(holder.get()));
        EXPECT_EQ(decoded->GetLastStatus(), Gdiplus::Ok);
        return decoded;
    }

    LentSettings lent;
    AppSetting& setting = lent.setting;
    ScratchFolder folder{L"korvilane-preview"};
    std::wstring source;
};

} // namespace

TEST_F(PreviewConversionTest, WritesWhatAConversionWouldWrite)
{
    ComPtr<IStream> holder;
    ASSERT_EQ(convertOneFile(source.c_str(), OutputFormat::Png, &holder, nullptr), PreviewConversion::Converted);
    ASSERT_TRUE(holder);
    BitmapPtr png = decode(holder);
    EXPECT_EQ(png->GetWidth(), 40u);
    EXPECT_EQ(png->GetHeight(), 30u);

    // The steps run first: trimming 10 pixels off each side.
    setting.trimmingEnable = true;
    setting.trimmingLeft = 10;
    setting.trimmingRight = 10;
    ASSERT_EQ(convertOneFile(source.c_str(), OutputFormat::Bitmap, &holder, nullptr), PreviewConversion::Converted);
    BitmapPtr bmp = decode(holder);
    EXPECT_EQ(bmp->GetWidth(), 20u);
    EXPECT_EQ(bmp->GetHeight(), 30u);

    setting.jpegEnable = true;
    setting.jpegExif = false;
    ASSERT_EQ(convertOneFile(source.c_str(), OutputFormat::Jpeg, &holder, nullptr), PreviewConversion::Converted);
    EXPECT_EQ(decode(holder)->GetWidth(), 20u);
}

TEST_F(PreviewConversionTest, FailuresLeaveTheHolderAlone)
{
    ComPtr<IStream> holder;
    std::wstring missing = folder.file(L"missing.png");
    EXPECT_EQ(convertOneFile(missing.c_str(), OutputFormat::Png, &holder, nullptr), PreviewConversion::Failed);
    EXPECT_FALSE(holder);

    // A step that fails: margins that leave nothing.
    setting.trimmingEnable = true;
    setting.trimmingLeft = 30;
    setting.trimmingRight = 30;
    EXPECT_EQ(convertOneFile(source.c_str(), OutputFormat::Png, &holder, nullptr), PreviewConversion::Failed);
    EXPECT_FALSE(holder);

    // Without a settings record the conversion cannot start.
    AppServices nothing(nullptr, nullptr);
    EXPECT_EQ(convertOneFile(source.c_str(), OutputFormat::Png, &holder, nullptr), PreviewConversion::Error);
    EXPECT_FALSE(holder);
}

TEST_F(PreviewConversionTest, AStepThatThrowsLeavesNoPictureBehind)
{
    // 16 MB once loaded; the brightness step asks the canceller.
    std::wstring large = folder.file(L"large.png");
    BitmapPtr picture(makeQuarters(2000, 2000));
    CLSID png{};
    ASSERT_GE(getEncoderClsid(L"image/png", &png), 0);
    ASSERT_EQ(picture->Save(large.c_str(), &png, nullptr), Gdiplus::Ok);
    picture.reset();
    setting.effectEnable = true;
    setting.effectBright = 10;
    setting.effectPosterization = 256;
    ThrowingCanceller canceller;
    ComPtr<IStream> holder;
    ASSERT_EQ(convertOneFile(large.c_str(), OutputFormat::Png, &holder, &canceller), PreviewConversion::Error);

    SIZE_T before = privateBytes();
    for (int i = 0; i < 5; ++i)
        ASSERT_EQ(convertOneFile(large.c_str(), OutputFormat::Png, &holder, &canceller), PreviewConversion::Error);
    EXPECT_LT(static_cast<LONGLONG>(privateBytes()) - static_cast<LONGLONG>(before), 32LL << 20);
    EXPECT_FALSE(holder);
}
