#include <memory>
#include "PictureFiles.h"
#include "foundation/Decimal.h"
#include "foundation/wstringArray.h"
#include "imaging/DibConversion.h"
#include "imaging/GdipImage.h"
#include "imaging/GdipImageWithWIC.h"
#include "imaging/WicBitmapDecoder.h"
#include "imaging/dibBitmapSource.h"
#include "imaging/pictureLoading.h"
#include "imaging/pictureProbe.h"
#include "imaging/wicDecode.h"

namespace {

class PictureLoading : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        samples = writeSamples(folder);
    }

    const SamplePicture& sample(const wchar_t* name) const
    {
        for (const SamplePicture& picture : samples)
            if (picture.name == name)
                return picture;
        throw std::exception();
    }

    // TGA is read only where a WIC decoder for it is installed, and under Wine that decoder cannot tell the
    // resolution, without which no WIC picture becomes a GDI+ one.
    bool wicConverts(const std::wstring& path) const
    {
        return thrownCode([&] { BitmapPtr(wicLoadFrameAsGdiplusBitmap(path.c_str(), 0, nullptr)); }) == -1;
    }

    ScratchFolder folder{L"korvilane-loading"};
    KvpReaderSettings lent;
    std::vector<SamplePicture> samples;
};

void expectSampleColours(Gdiplus::Bitmap* bitmap, int tolerance)
{
    ASSERT_EQ(bitmap->GetWidth(), static_cast<UINT>(SampleWidth));
    ASSERT_EQ(bitmap->GetHeight(), static_cast<UINT>(SampleHeight));
    EXPECT_LE(channelDistance(pixelAt(bitmap, 1, 1) | 0xFF000000u, 0xFFFF0000u), tolerance);
    EXPECT_LE(channelDistance(pixelAt(bitmap, SampleWidth - 2, SampleHeight - 2), 0xFF0000FFu), tolerance);
}

} // namespace

TEST_F(PictureLoading, EveryFormatLoadsWithItsDepthAndResolution)
{
    for (const SamplePicture& picture : samples) {
        SCOPED_TRACE(testing::PrintToString(picture.name));
        if (picture.name == L"24.tga" && !wicConverts(picture.path)) {
            EXPECT_NE(thrownCode([&] { BitmapPtr(loadBitmap(picture.path.c_str())); }), -1);
            continue;
        }
        WORD bits = 0;
        Decimal dpiX(-1);
        Decimal dpiY(-1);
        BitmapPtr bitmap(loadBitmap(picture.path.c_str(), nullptr, &bits, &dpiX, &dpiY));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
        expectSampleColours(bitmap.get(), picture.name == L"24.jpg" ? 40 : 0);
        EXPECT_EQ(bits, picture.sourceBits) << "the file's own depth, also where GDI+ widened the picture";
        // The probe finds it from what GDI+ decoded.
        BitmapPtr decoded(new Gdiplus::Bitmap(picture.path.c_str()));
        bits = static_cast<WORD>(picture.gdiplusBits);
        getPngBitDepth(picture.path.c_str(), decoded.get(), bits);
        EXPECT_EQ(bits, picture.sourceBits);
        if (picture.dpiX > 0) {
            EXPECT_NEAR(dpiX.toDouble(), picture.dpiX, 0.5);
            EXPECT_NEAR(dpiY.toDouble(), picture.dpiY, 0.5);
        }
        // Only what a plug-in reads has no decoder resolution.
        EXPECT_EQ(dpiX.toDouble() < 0, picture.name == L"24.kvp");
    }
    // A logical screen wider than the frame, which GDI+ leaves out: WIC's picture, in 32 bits, comes to GDI+ as
    // a PNG in memory.
    Bytes placed = readBytes(sample(L"8.gif").path);
    placed[6] = SampleWidth + 5;
    writeBytes(folder.file(L"placed.gif"), placed);
    WORD bits = 0;
    BitmapPtr bitmap(loadBitmap(folder.file(L"placed.gif").c_str(), nullptr, &bits));
    EXPECT_EQ(bits, 32);
}

TEST_F(PictureLoading, JpegsHandOutTheirMetadataReaderOthersLeaveItAlone)
{
    IWICMetadataBlockReader* reader = nullptr;
    BitmapPtr bitmap(loadBitmap(sample(L"24.jpg").path.c_str(), &reader));
    ASSERT_TRUE(bitmap);
    ASSERT_NE(reader, nullptr);
    reader->Release();

    auto untouched = reinterpret_cast<IWICMetadataBlockReader*>(0x1234);
    reader = untouched;
    bitmap.reset(loadBitmap(sample(L"24.png").path.c_str(), &reader));
    EXPECT_TRUE(bitmap);
    EXPECT_EQ(reader, untouched);
}

TEST_F(PictureLoading, WhatNothingReadsLeavesTheOutputsAlone)
{
    std::wstring garbage = folder.file(L"garbage.png");
    writeBytes(garbage, std::vector<BYTE>(300, 0x5A));
    WORD bits = 7;
    Decimal dpi(-1);
    IWICMetadataBlockReader* reader = nullptr;
    EXPECT_EQ(loadBitmap(garbage.c_str(), &reader, &bits, &dpi, &dpi), nullptr);
    EXPECT_EQ(loadBitmap(folder.file(L"missing.png").c_str(), &reader, &bits, &dpi, &dpi), nullptr);
    EXPECT_EQ(loadBitmap(nullptr), nullptr);
    EXPECT_EQ(bits, 7);
    EXPECT_EQ(dpi.toDouble(), -1);
    EXPECT_EQ(reader, nullptr);

    Dib dib;
    EXPECT_FALSE(loadDib(garbage.c_str(), dib));
    EXPECT_TRUE(dib.isEmpty());
    expectCode(ERROR_FILE_NOT_FOUND, [&] { loadDib(folder.file(L"missing.png").c_str(), dib); });
    EXPECT_EQ(loadImage(garbage.c_str(), false, nullptr, 0), nullptr);
    // Without the plug-in nothing reads a KVP file; without a settings record there is no plug-in list.
    const std::wstring& kvp = sample(L"24.kvp").path;
    lent.setting.spiPaths.removeAll();
    EXPECT_EQ(loadBitmap(kvp.c_str()), nullptr);
    EXPECT_FALSE(loadDib(kvp.c_str(), dib));
    AppServices nothing(nullptr, nullptr);
    expectCode(ErrorCode::InvalidState, [&] { loadBitmap(kvp.c_str()); });
    EXPECT_TRUE(BitmapPtr(loadBitmap(sample(L"24.png").path.c_str())));
}

TEST_F(PictureLoading, ThirtyTwoBitBmpsKeepTheirAlphaUnlessItIsAllZero)
{
    const std::wstring& translucent = sample(L"32.bmp").path;
    EXPECT_TRUE(isSelfReadBmpFile(translucent.c_str()));
    BitmapPtr bitmap(loadBitmap(translucent.c_str()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelAt(bitmap.get(), 1, 1), 0x80FF0000u);
    Dib dib;
    ASSERT_TRUE(loadDib(translucent.c_str(), dib));
    EXPECT_EQ(dibPixel32(dib, 1, 1), 0x80FF0000u);

    std::wstring gdiWritten = writeDibFile(folder.file(L"gdi32.bmp"), 32, false);
    bitmap.reset(loadBitmap(gdiWritten.c_str()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelAt(bitmap.get(), 1, 1), 0xFFFF0000u);
    EXPECT_FALSE(isSelfReadBmpFile(sample(L"24.bmp").path.c_str()));
}

TEST_F(PictureLoading, DibsKeepShallowDepthsAndTakeAlphaAsThirtyTwoBits)
{
    writeWicFile(folder.file(L"translucent.png"), GUID_ContainerFormatPng, {indexedSample(8, 0x80FF0000u)});
    writeWicFile(folder.file(L"grey.png"), GUID_ContainerFormatPng,
                 {deepSample(GUID_WICPixelFormat16bppGray, 1, 2, true)});
    struct Case {
        std::wstring path;
        int bitCount;
    } cases[] = {{sample(L"8.png").path, 8},         {sample(L"1.png").path, 1},
                 {sample(L"8.gif").path, 8},         {folder.file(L"translucent.png"), 32},
                 {sample(L"64.png").path, 32},       {sample(L"24.jpg").path, 24},
                 {sample(L"24.kvp").path, 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        Dib dib;
        ASSERT_TRUE(loadDib(c.path.c_str(), dib));
        EXPECT_EQ(dib.bitCount(), c.bitCount);
        BitmapPtr bitmap(dibToGdiplusBitmap(dib, c.bitCount == 32));
        expectSampleColours(bitmap.get(), c.bitCount == 24 ? 40 : 0);
    }
    Dib dib;
    ASSERT_TRUE(loadDib(folder.file(L"translucent.png").c_str(), dib));
    EXPECT_EQ(dibPixel32(dib, 1, 1), 0x80FF0000u);
    // A depth a BMP cannot hold: the block is white on black.
    ASSERT_TRUE(loadDib(folder.file(L"grey.png").c_str(), dib));
    EXPECT_EQ(dib.bitCount(), 32);
    EXPECT_EQ(dibPixel32(dib, 1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(dibPixel32(dib, SampleWidth - 1, SampleHeight - 1), 0xFF000000u);
}

TEST_F(PictureLoading, ImagesComeFromGdiplusWicOrThePlugins)
{
    std::unique_ptr<IImage> image(loadImage(sample(L"8.gif").path.c_str(), false, nullptr, 0));
    EXPECT_NE(dynamic_cast<GdipImage*>(image.get()), nullptr);
    image.reset(loadImage(sample(L"3.tif").path.c_str(), true, nullptr, 0));
    ASSERT_NE(dynamic_cast<GdipImage*>(image.get()), nullptr);
    EXPECT_EQ(image->frameCount(), 3) << "every page, not only the one in use";
    image.reset(loadImage(sample(L"24.kvp").path.c_str(), false, nullptr, 0));
    ASSERT_NE(dynamic_cast<GdipImage*>(image.get()), nullptr);
    EXPECT_EQ(image->width(), SampleWidth);

    const std::wstring& tga = sample(L"24.tga").path;
    image.reset(loadImage(tga.c_str(), false, nullptr, 0));
    if (!wicConverts(tga)) {
        EXPECT_EQ(image, nullptr);
        GTEST_SKIP() << "WIC cannot convert TGA pictures here";
    }
    ASSERT_NE(dynamic_cast<GdipImageWithWIC*>(image.get()), nullptr);
    EXPECT_EQ(image->height(), SampleHeight);
    BitmapPtr shown(static_cast<GdipImageWithWIC*>(image.get())->cloneBitmap());
    expectSampleColours(shown.get(), 0);
}

TEST_F(PictureLoading, PngDepthComesFromTheHeader)
{
    BitmapPtr wide(new Gdiplus::Bitmap(sample(L"32.png").path.c_str()));
    // Signature, IHDR length and type, width, height, then the depth and colour type under test.
    auto pngHead = [&](BYTE depth, BYTE colourType) {
        std::vector<BYTE> bytes = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                   0,    0,   0,   1,   0,  0,  0,  1,  depth, colourType};
        writeBytes(folder.file(L"head.png"), bytes);
        WORD bits = 0;
        getPngBitDepth(folder.file(L"head.png").c_str(), wide.get(), bits);
        return bits;
    };
    EXPECT_EQ(pngHead(16, 6), 64);
    EXPECT_EQ(pngHead(8, 2), 24);
    EXPECT_EQ(pngHead(8, 3), 8);
    EXPECT_EQ(pngHead(4, 3), 4);
    WORD bits = 5;
    getPngBitDepth(folder.file(L"missing.png").c_str(), wide.get(), bits);
    EXPECT_EQ(bits, 5);
    // Pictures that GDI+ keeps in their own depth are left alone.
    BitmapPtr indexed(new Gdiplus::Bitmap(sample(L"8.gif").path.c_str()));
    getPngBitDepth(sample(L"8.gif").path.c_str(), indexed.get(), bits);
    EXPECT_EQ(bits, 5);
    // Nor is a file that is no PNG read as one, whatever decoded the picture.
    getPngBitDepth(sample(L"8.gif").path.c_str(), wide.get(), bits);
    EXPECT_EQ(bits, 5);

    EXPECT_EQ(readFileByte(sample(L"24.bmp").path.c_str(), 1), 'M');
    expectCode(ERROR_HANDLE_EOF, [&] { readFileByte(sample(L"24.bmp").path.c_str(), 100000); });
    expectCode(ERROR_FILE_NOT_FOUND, [&] { readFileByte(folder.file(L"missing").c_str(), 0); });
    expectCode(ERROR_FILE_NOT_FOUND, [&] { isSelfReadBmpFile(folder.file(L"missing").c_str()); });
}

TEST_F(PictureLoading, DibsBecomeWicSourcesTopRowFirstWithAlpha)
{
    Dib translucent;
    ASSERT_TRUE(loadDib(sample(L"32.bmp").path.c_str(), translucent));
    WIC::BitmapSource source(dibToBitmapSource(translucent), true);
    EXPECT_TRUE(IsEqualGUID(source.pixelFormat(), GUID_WICPixelFormat32bppBGRA));
    BitmapPtr back(wicToGdiplusBitmap(source));
    EXPECT_EQ(pixelAt(back.get(), 1, 1), 0x80FF0000u);
    EXPECT_EQ(pixelAt(back.get(), SampleWidth - 1, SampleHeight - 1), 0xFF0000FFu);

    Dib indexed;
    ASSERT_TRUE(loadDib(sample(L"4.bmp").path.c_str(), indexed));
    WIC::BitmapSource shallow(dibToBitmapSource(indexed), true);
    EXPECT_EQ(shallow.bitsPerPixel(), 4u);
    back.reset(wicToGdiplusBitmap(shallow));
    expectSampleColours(back.get(), 0);

    Dib empty;
    expectCode(ErrorCode::InvalidArgument, [&] { dibToBitmapSource(empty); });
    expectCode(ErrorCode::InvalidArgument, [&] { toBitmapSourceViaPng(indexed); });
}
