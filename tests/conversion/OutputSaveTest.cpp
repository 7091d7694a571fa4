#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "conversion/OutputDepth.h"
#include "conversion/SaveImage.h"
#include "imaging/BitmapCopy.h"
#include "imaging/gifBlocks.h"
#include "jobs/applyEffectsInOrder.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "support/ExpectCode.h"
#include "support/LentSettings.h"
#include "support/WicTesting.h"

namespace {

class OutputSave : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        picture.reset(makeQuarters(40, 30));
        picture->SetResolution(150, 150);
    }

    // The picture brought to the format's depth and saved with the resolution; the file read back.
    BitmapPtr saveAndLoad(int format, const wchar_t* name, WORD sourceDepth, int dpi = 0)
    {
        Gdiplus::Bitmap* prepared = picture.release();
        EXPECT_NE(prepareForOutputFormat(format, prepared, sourceDepth, nullptr), StepFailed);
        picture.reset(prepared);
        std::wstring path = folder.file(name);
        EXPECT_TRUE(saveImageWithDpi(path.c_str(), format, picture.get(), nullptr, nullptr, Decimal(dpi),
                                     Decimal(dpi), Decimal(0), Decimal(0)));
        BitmapPtr loaded(new Gdiplus::Bitmap(path.c_str()));
        EXPECT_EQ(loaded->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(loaded->GetWidth(), 40u);
        EXPECT_EQ(loaded->GetHeight(), 30u);
        return loaded;
    }

    LentSettings lent;
    AppSetting& setting = lent.setting;
    ScratchFolder folder{L"korvilane-output"};
    BitmapPtr picture;
};

struct DepthCase {
    const char* name;
    int format;
    WORD sourceDepth;
    bool transparent;
    void (*configure)(AppSetting&);
    bool convert;
    int depth;
    int palette;
    bool errorDiffusion;
};

void nothing(AppSetting&) {}

std::vector<Gdiplus::ARGB> paletteOf(Gdiplus::Bitmap* bitmap)
{
    std::vector<BYTE> block(static_cast<size_t>(bitmap->GetPaletteSize()));
    auto palette = reinterpret_cast<Gdiplus::ColorPalette*>(block.data());
    if (block.size() < sizeof(Gdiplus::ColorPalette) ||
        bitmap->GetPalette(palette, static_cast<INT>(block.size())) != Gdiplus::Ok)
        return {};
    return std::vector<Gdiplus::ARGB>(palette->Entries, palette->Entries + palette->Count);
}

const DepthCase depthCases[] = {
    {"jpeg keeps", OutputFormat::Jpeg, 24, false, nothing, false, 0, 0, false},
    {"gif 8", OutputFormat::Gif, 32, true, nothing, true, 8, 2, false},
    {"tiff ccitt4", OutputFormat::Tiff, 24, false,
     [](AppSetting& s) { s.tiffEnable = true, s.tiffCompression = 2, s.tiffErrorDiffusion = true; }, true, 1, 0,
     true},
    {"tiff ccitt off", OutputFormat::Tiff, 24, false, [](AppSetting& s) { s.tiffCompression = 2; }, true, 24, 2,
     false},
    {"tiff lzw", OutputFormat::Tiff, 8, false, [](AppSetting& s) { s.tiffEnable = true; }, true, 8, 2, false},
    {"tiff transparent", OutputFormat::Tiff, 8, false,
     [](AppSetting& s) { s.tiffEnable = true, s.tiffTransparent = true; }, false, 0, 0, false},
    {"png deep", OutputFormat::Png, 24, false, [](AppSetting& s) { s.pngEnable = true; }, false, 0, 0, false},
    {"png 8", OutputFormat::Png, 8, false, [](AppSetting& s) { s.pngEnable = true; }, true, 8, 2, false},
    {"png off 24", OutputFormat::Png, 24, false, nothing, true, 24, 2, false},
    {"png off transparent", OutputFormat::Png, 24, true, nothing, false, 0, 0, false},
    {"png off 2 bits", OutputFormat::Png, 2, false, nothing, true, 4, 2, false},
    {"bmp off 8", OutputFormat::Bitmap, 8, false, nothing, true, 8, 2, false},
    {"bmp 24", OutputFormat::Bitmap, 8, false, [](AppSetting& s) { s.bitmapEnable = true; }, true, 24, 0, false},
    {"bmp 8 diffused", OutputFormat::Bitmap, 24, false,
     [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 1, s.bitmapErrorDiffusion = true; }, true, 8, 1,
     true},
    {"bmp 8 plain", OutputFormat::Bitmap, 24, false, [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 1; },
     true, 8, 2, false},
    {"bmp 8 standard", OutputFormat::Bitmap, 24, false,
     [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 1, s.bitmapPal8 = 1, s.bitmapErrorDiffusion = true; },
     true, 8, 0, true},
    {"bmp 4", OutputFormat::Bitmap, 24, false,
     [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 2, s.bitmapPal8 = 1; }, true, 4, 2, false},
    {"bmp 1", OutputFormat::Bitmap, 24, false,
     [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 3, s.bitmapErrorDiffusion = true; }, true, 1, 0,
     true},
    {"bmp bpp 4", OutputFormat::Bitmap, 24, false, [](AppSetting& s) { s.bitmapEnable = true, s.bitmapBpp = 4; },
     false, 0, 0, false},
    {"hdp 32", OutputFormat::Hdp, 32, false, nothing, false, 0, 0, false},
    {"wdp 24", OutputFormat::Wdp, 24, false, nothing, true, 24, 2, false},
    {"wdp transparent", OutputFormat::Wdp, 8, true, nothing, false, 0, 0, false},
    {"unknown depth", OutputFormat::Png, 0, false, nothing, false, 0, 0, false},
};

// A picture written at 8 bits or fewer; a GIF's transparent colour and a point of the quarter that has it.
struct IndexedFileCase {
    const char* name;
    int format;
    bool assignColor;
    int bpp;
    WORD bits;
    COLORREF transparent;
    POINT seeThrough;
};

const IndexedFileCase indexedFileCases[] = {
    {"gif given colour", OutputFormat::Gif, true, 0, 8, RGB(0, 0, 255), {5, 25}},
    {"gif top-left colour", OutputFormat::Gif, false, 0, 8, RGB(255, 0, 0), {5, 5}},
    {"bmp 8", OutputFormat::Bitmap, false, 1, 8},
    {"bmp 4", OutputFormat::Bitmap, false, 2, 4},
    {"bmp 1", OutputFormat::Bitmap, false, 3, 1},
};

} // namespace

TEST_F(OutputSave, EachFormatChoosesItsDepth)
{
    BitmapPtr opaque(makeQuarters(4, 4));
    BitmapPtr seeThrough(makeBitmap32(4, 4, [](int x, int) { return x == 0 ? 0x80FF0000u : Red; }));
    for (const DepthCase& row : depthCases) {
        SCOPED_TRACE(row.name);
        AppSetting options;
        row.configure(options);
        DepthChoice choice =
            chooseOutputDepth(row.format, options, row.sourceDepth, row.transparent ? seeThrough.get() : opaque.get());
        EXPECT_EQ(choice.convert, row.convert);
        if (!row.convert)
            continue;
        EXPECT_EQ(choice.depth, row.depth);
        EXPECT_EQ(choice.palette, row.palette);
        EXPECT_EQ(choice.errorDiffusion, row.errorDiffusion);
    }
}

TEST_F(OutputSave, PreparationReplacesThePictureOnlyWhenItConverts)
{
    Gdiplus::Bitmap* original = picture.get();
    Gdiplus::Bitmap* prepared = picture.release();
    EXPECT_EQ(prepareForOutputFormat(OutputFormat::Jpeg, prepared, 24, nullptr), StepNothing);
    EXPECT_EQ(prepared, original);
    EXPECT_EQ(prepareForOutputFormat(OutputFormat::Png, prepared, 24, nullptr), StepChanged);
    picture.reset(prepared);
    EXPECT_EQ(picture->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_FLOAT_EQ(picture->GetHorizontalResolution(), 150.0f);
    expectQuarters(picture.get(), 0);

    // A depth that nothing converts to fails and leaves the picture.
    prepared = picture.release();
    EXPECT_EQ(prepareForOutputFormat(OutputFormat::Bitmap, prepared, 12, nullptr), StepFailed);
    picture.reset(prepared);
    EXPECT_EQ(picture->GetPixelFormat(), PixelFormat24bppRGB);
}

TEST_F(OutputSave, GifAndBmpAreWrittenWithTheirPalettes)
{
    setting.gifEnable = true;
    setting.gifAssignTransparentColor = true;
    setting.gifTransparentColor = RGB(255, 0, 0);
    BitmapPtr gif = saveAndLoad(OutputFormat::Gif, L"picture.gif", 32);
    EXPECT_EQ(gif->GetPixelFormat(), PixelFormat8bppIndexed);
    // The red entry is the transparent one, its colour kept.
    EXPECT_EQ(pixelAt(gif.get(), 5, 5) & 0xFFFFFF, Red & 0xFFFFFF);
    EXPECT_EQ(pixelAt(gif.get(), 35, 5), Green);
    EXPECT_EQ(pixelAt(gif.get(), 5, 25), Blue);
    EXPECT_EQ(pixelAt(gif.get(), 35, 25), White);

    picture.reset(makeQuarters(40, 30));
    setting.bitmapEnable = true;
    setting.bitmapBpp = 2;
    setting.bitmapPal4 = 1;
    BitmapPtr bmp = saveAndLoad(OutputFormat::Bitmap, L"picture.bmp", 24, 96);
    EXPECT_EQ(bmp->GetPixelFormat(), PixelFormat4bppIndexed);
    std::vector<Gdiplus::ARGB> palette = paletteOf(bmp.get());
    EXPECT_EQ(palette.size(), 16u);
    for (UINT32 quarter : {Red, Green, Blue, White})
        EXPECT_NE(std::find(palette.begin(), palette.end(), quarter), palette.end()) << std::hex << quarter;
    EXPECT_NEAR(bmp->GetHorizontalResolution(), 96.0, 0.1);
    expectQuarters(bmp.get(), 0);
}

// Read back byte by byte: the file, and the stream that the preview and the clipboard get, which is the same.
TEST_F(OutputSave, IndexedGifAndBmpFilesCarryTheirTransparencyAndTheirOwnSize)
{
    setting.gifEnable = setting.bitmapEnable = true;
    setting.gifTransparentColor = RGB(0, 0, 255);
    for (const IndexedFileCase& row : indexedFileCases) {
        SCOPED_TRACE(row.name);
        setting.gifAssignTransparentColor = row.assignColor;
        setting.bitmapBpp = row.bpp;
        picture.reset(makeQuarters(40, 30));
        BitmapPtr decoded = saveAndLoad(row.format, L"indexed", 24);
        Bytes file = readBytes(folder.file(L"indexed"));
        ComPtr<IStream> holder;
        ASSERT_TRUE(saveImageDefault(&holder, row.format, picture.get(), nullptr, nullptr));
        EXPECT_EQ(bytesOf(holder.get()), file);
        ASSERT_GE(file.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
        if (row.format == OutputFormat::Bitmap) {
            auto header = reinterpret_cast<const BITMAPFILEHEADER*>(file.data());
            auto info = reinterpret_cast<const BITMAPINFOHEADER*>(header + 1);
            EXPECT_EQ(info->biBitCount, row.bits);
            EXPECT_EQ(header->bfSize, file.size());
            DWORD colors = info->biClrUsed ? info->biClrUsed : 1u << row.bits;
            EXPECT_EQ(header->bfOffBits, sizeof(*header) + info->biSize + colors * sizeof(RGBQUAD));
            continue;
        }
        GifPicture gif;
        ASSERT_TRUE(findGifPicture(file, gif));
        ASSERT_NE(gif.control, 0u);
        EXPECT_TRUE(file[gif.control + 3] & GifBlock::TransparencyFlag);
        const BYTE* entry = &file[gif.table + file[gif.control + 6] * 3];
        EXPECT_EQ(RGB(entry[0], entry[1], entry[2]), row.transparent);
        EXPECT_EQ(pixelAt(decoded.get(), row.seeThrough.x, row.seeThrough.y) >> 24, 0u);
        EXPECT_EQ(pixelAt(decoded.get(), 35, 5), Green);
    }
}

TEST_F(OutputSave, BilevelTiffAndTransparentPng)
{
    setting.tiffEnable = true;
    setting.tiffCompression = 2;
    BitmapPtr tiff = saveAndLoad(OutputFormat::Tiff, L"picture.tif", 24, 200);
    EXPECT_EQ(tiff->GetPixelFormat(), PixelFormat1bppIndexed);
    EXPECT_EQ(paletteOf(tiff.get()), (std::vector<Gdiplus::ARGB>{0xFF000000, White}));
    EXPECT_FLOAT_EQ(tiff->GetHorizontalResolution(), 200.0f);
    EXPECT_FLOAT_EQ(tiff->GetVerticalResolution(), 200.0f);

    // The configured colour gets the alpha; the copy keeps the picture's own resolution.
    picture.reset(makeQuarters(40, 30));
    picture->SetResolution(150, 150);
    setting.pngEnable = true;
    setting.pngAssignTransparentColor = true;
    setting.pngTransparentColor = RGB(0, 0, 255);
    setting.pngAlpha = 0x40;
    BitmapPtr png = saveAndLoad(OutputFormat::Png, L"picture.png", 32);
    EXPECT_EQ(png->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(pixelAt(png.get(), 5, 25), 0x400000FFu);
    EXPECT_EQ(pixelAt(png.get(), 5, 5), Red);
    EXPECT_NEAR(png->GetHorizontalResolution(), 150.0, 0.1);
}

TEST_F(OutputSave, JpegResolutionFromTheCommandLineOrTheSource)
{
    BitmapPtr jpeg = saveAndLoad(OutputFormat::Jpeg, L"command.jpg", 24, 300);
    EXPECT_EQ(jpeg->GetPixelFormat(), PixelFormat24bppRGB);
    EXPECT_FLOAT_EQ(jpeg->GetHorizontalResolution(), 300.0f);
    expectQuarters(jpeg.get(), 24);

    auto savedDpi = [&](const wchar_t* name) {
        std::wstring path = folder.file(name);
        EXPECT_TRUE(saveImageWithDpi(path.c_str(), OutputFormat::Jpeg, picture.get(), nullptr, nullptr, Decimal(0),
                                     Decimal(0), Decimal(72), Decimal(72)));
        Gdiplus::Bitmap loaded(path.c_str());
        return loaded.GetHorizontalResolution();
    };
    picture->SetResolution(150, 150);
    EXPECT_FLOAT_EQ(savedDpi(L"unchanged.jpg"), 150.0f);
    setting.fileKeepDPI = true;
    EXPECT_FLOAT_EQ(savedDpi(L"source.jpg"), 72.0f);
    // Through the imaging component's encoder with the JPEG options on.
    setting.jpegEnable = true;
    setting.jpegQuality = 80;
    EXPECT_FLOAT_EQ(savedDpi(L"options.jpg"), 72.0f);
}

TEST_F(OutputSave, AStreamSaveLeavesTheResolution)
{
    ComPtr<IStream> holder;
    picture->SetResolution(123, 45);
    for (int format : {OutputFormat::Jpeg, OutputFormat::Png, OutputFormat::Bitmap}) {
        ASSERT_TRUE(saveImageDefault(&holder, format, picture.get(), nullptr, nullptr)) << format;
        BitmapPtr decoded(new Gdiplus::Bitmap(holder.get()));
        EXPECT_EQ(decoded->GetWidth(), 40u);
        EXPECT_FLOAT_EQ(picture->GetHorizontalResolution(), 123.0f);
    }
    setting.jpegEnable = true;
    setting.jpegAssign = 1;
    setting.jpegAssignFileSize = 2;
    EXPECT_TRUE(saveImageDefault(&holder, OutputFormat::Jpeg, picture.get(), nullptr, nullptr));
    expectCode(ErrorCode::InvalidArgument,
               [&] { saveImageDefault(&holder, OutputFormat::Count, picture.get(), nullptr, nullptr); });
    expectCode(ErrorCode::InvalidArgument, [&] { outputMimeType(-1); });
    EXPECT_STREQ(outputMimeType(OutputFormat::Hdp).buffer(), L"notype");
}

TEST_F(OutputSave, AFailedSaveLeavesNoFileAndNoDamagedTarget)
{
    const std::vector<BYTE> old = {'o', 'l', 'd'};
    std::wstring target = folder.file(L"target.jpg");
    writeBytes(target, old);
    // The size search is cancelled.
    setting.jpegEnable = true;
    setting.jpegAssign = 1;
    setting.jpegAssignFileSize = 10;
    TestCanceller canceller;
    canceller.cancel = true;
    EXPECT_FALSE(saveImageWithDpi(target.c_str(), OutputFormat::Jpeg, picture.get(), nullptr, &canceller,
                                  Decimal(0), Decimal(0), Decimal(0), Decimal(0)));
    EXPECT_EQ(readBytes(target), old);

    // HD Photo has no encoder under Wine.
    std::wstring hdp = folder.file(L"picture.wdp");
    bool saved = saveImageWithDpi(hdp.c_str(), OutputFormat::Wdp, picture.get(), nullptr, nullptr, Decimal(0),
                                  Decimal(0), Decimal(0), Decimal(0));
    if (runningUnderWine()) {
        EXPECT_FALSE(saved);
    }
    EXPECT_EQ(fileExists(hdp), saved);

    // A target held open by someone else.
    std::wstring png = folder.file(L"held.png");
    writeBytes(png, old);
    HANDLE held = openForReading(png);
    EXPECT_FALSE(saveImageWithDpi(png.c_str(), OutputFormat::Png, picture.get(), nullptr, nullptr, Decimal(0),
                                  Decimal(0), Decimal(0), Decimal(0)));
    CloseHandle(held);
    EXPECT_EQ(readBytes(png), old);
}

TEST_F(OutputSave, EffectsThenDepthInOneRun)
{
    Gdiplus::Bitmap* run = picture.release();
    EXPECT_TRUE(applyEffectsInOrder(run, OutputFormat::Bitmap, 8, nullptr));
    picture.reset(run);
    EXPECT_EQ(picture->GetPixelFormat(), PixelFormat8bppIndexed);

    // A failing step stops the run before the depth changes.
    picture.reset(makeQuarters(40, 30));
    setting.trimmingEnable = true;
    setting.trimmingLeft = 30;
    setting.trimmingRight = 30;
    run = picture.release();
    EXPECT_FALSE(applyEffectsInOrder(run, OutputFormat::Bitmap, 8, nullptr));
    picture.reset(run);
    EXPECT_EQ(picture->GetPixelFormat(), PixelFormat32bppARGB);
}
