#include <gtest/gtest.h>
#include <new>
#include "foundation/MessageWriter.h"
#include "foundation/wstringArray.h"
#include "imaging/gdipImageIO.h"
#include "imaging/pictureClaims.h"
#include "jobs/CommandLineBatch.h"
#include "jobs/LogMessages.h"
#include "settings/AppServices.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "support/GlobalApplication.h"
#include "imaging/DibConversion.h"
#include "support/BitFieldBmp.h"
#include "support/GreyPng.h"
#include "support/LentSettings.h"
#include "support/WicTesting.h"

namespace {

class CommandLineBatchTest : public WicTest {
protected:
    void SetUp() override
    {
        WicTest::SetUp();
        loadLogMessages(GetModuleHandleW(nullptr));
    }

    // The source converted by a batch with the default settings into a PNG file, read back.
    BitmapPtr convertedToPng(const std::wstring& source)
    {
        AppSetting defaults;
        defaults.setSectionsAndPath(folder.file(L"korvilane.xml").c_str());
        defaults.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
        defaults.editFormat = OutputFormat::Png;
        std::wstring target = source + L".png";
        wstringArray sources;
        sources.add(source.c_str());
        wstringArray targets;
        targets.add(target.c_str());
        CommandLineBatch batch(defaults, nullptr, nullptr);
        EXPECT_EQ(batch.run(sources, targets, CommandLineBatchOptions()), CommandLineBatch::AllWritten);
        BitmapPtr written(Gdiplus::Bitmap::FromFile(target.c_str()));
        EXPECT_EQ(written->GetLastStatus(), Gdiplus::Ok);
        return written;
    }

    GlobalApplication application;
    ScratchFolder folder{L"korvilane-batch"};
    // The application's record, lent for the whole test: the defaults.
    LentSettings applicationSettings;
};

// A BMP file whose pixels are a whole PNG or JPEG file, as its compression says.
Bytes wrappedBmp(DWORD compression, const Bytes& picture, int width, int height)
{
    BITMAPINFOHEADER info{sizeof(info), width, height, 1, 0, compression, static_cast<DWORD>(picture.size())};
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(file) + sizeof(info) + picture.size()), 0, 0,
                          static_cast<DWORD>(sizeof(file) + sizeof(info))};
    Bytes bytes;
    appendBytes(bytes, &file, sizeof(file));
    appendBytes(bytes, &info, sizeof(info));
    bytes.insert(bytes.end(), picture.begin(), picture.end());
    return bytes;
}

class LogLines : public MessageWriter {
public:
    void write(const wstring& line) override { text += line.buffer(); }
    void write(const astring& line) override { text += wstring(line).buffer(); }
    std::wstring text;
};

} // namespace

TEST_F(CommandLineBatchTest, TheRecordGivenToTheBatchDecidesEveryStep)
{
    std::wstring source = folder.file(L"a.png");
    BitmapPtr picture(makeQuarters(40, 30));
    ASSERT_TRUE(gdipSaveToFile(source.c_str(), L"image/png", picture.get(), nullptr));
    // The batch's own record (the defaults) asks for 8-bit BMP files; the save reads the depth, the batch the
    // format.
    AppSetting batchSetting;
    batchSetting.setSectionsAndPath(folder.file(L"korvilane.xml").c_str());
    batchSetting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
    batchSetting.editFormat = OutputFormat::Bitmap;
    batchSetting.bitmapEnable = true;
    batchSetting.bitmapBpp = 1;
    wstringArray sources;
    sources.add(source.c_str());
    wstringArray targets;
    targets.add(folder.file(L"a.bmp").c_str());

    CommandLineBatch batch(batchSetting, nullptr, nullptr);
    ASSERT_EQ(batch.run(sources, targets, CommandLineBatchOptions()), CommandLineBatch::AllWritten);

    BitmapPtr written(Gdiplus::Bitmap::FromFile(folder.file(L"a.bmp").c_str()));
    ASSERT_EQ(written->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(written->GetPixelFormat(), PixelFormat8bppIndexed);
    // The header states the file's size, colour table included.
    Bytes file = readBytes(folder.file(L"a.bmp"));
    ASSERT_GE(file.size(), sizeof(BITMAPFILEHEADER));
    EXPECT_EQ(reinterpret_cast<const BITMAPFILEHEADER*>(file.data())->bfSize, file.size());
    // Afterwards the application's record is the lent one again.
    EXPECT_EQ(&getAppSetting(), &applicationSettings.setting);
}

TEST_F(CommandLineBatchTest, BitFieldBmpsOfAnyLayoutKeepTheirColours)
{
    struct Case {
        const wchar_t* name;
        BitFieldLayout layout;
        int height; // negative: top-down
        std::vector<BitFields> pixels;
        std::vector<UINT32> expected; // ARGB
        DWORD gap = 0;                // bytes between the masks and the pixels, skipped by the pixel offset
    };
    const Case cases[] = {
        // Eight bits a channel in an unusual order after a plain header.
        {L"rgb32-order.bmp",
         {40, 32, 0xFF000000, 0x00000FF0, 0x00FF0000, 0},
         1,
         {{10, 200, 30}, {255, 0, 128}, {1, 254, 127}},
         {0xFF0AC81E, 0xFFFF0080, 0xFF01FE7F}},
        // Five, six and five bits in a V4 header: the full range reaches 255.
        {L"rgb16-565.bmp",
         {108, 16, 0xF800, 0x07E0, 0x001F, 0},
         1,
         {{31, 63, 0}, {16, 32, 1}, {0, 1, 30}},
         {0xFFFFFF00, 0xFF848208, 0xFF0004F7}},
        // Two, three and one bits.
        {L"rgb16-231.bmp",
         {40, 16, 0x0030, 0x000E, 0x0001, 0},
         2,
         {{1, 3, 1}, {2, 4, 0}, {3, 7, 1}, {0, 0, 0}, {3, 1, 0}, {1, 6, 1}},
         {0xFF556DFF, 0xFFAA9200, 0xFFFFFFFF, 0xFF000000, 0xFFFF2400, 0xFF55DBFF}},
        // Ten bits a channel and two of alpha in a V5 header.
        {L"rgba32-1010102.bmp",
         {124, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
         1,
         {{1023, 512, 0, 3}, {0, 1023, 256, 1}, {100, 900, 1000, 2}},
         {0xFFFF8000, 0x5500FF40, 0xAA19E0F9}},
        // Four bits of each with alpha, top-down.
        {L"rgba16-4444.bmp",
         {124, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
         -2,
         {{15, 8, 1, 15}, {0, 0, 15, 8}, {3, 5, 7, 15}, {15, 15, 15, 15}},
         {0xFFFF8811, 0x880000FF, 0xFF335577, 0xFFFFFFFF}},
        // Eleven, eleven and ten bits in a 56-byte header that has room for alpha but none.
        {L"rgb32-111110.bmp",
         {56, 32, 0xFFE00000, 0x001FFC00, 0x000003FF, 0},
         1,
         {{2047, 1024, 1023}, {0, 2047, 512}},
         {0xFFFF80FF, 0xFF00FF80}},
        // An alpha mask whose values are all 0: written so by programs that know no alpha, so opaque.
        {L"rgba32-zero.bmp",
         {124, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
         1,
         {{10, 20, 30, 0}, {40, 50, 60, 0}},
         {0xFF0A141E, 0xFF28323C}},
        // The pixels where the file's pixel offset puts them, after a V5 header's colour profile.
        {L"profile.bmp", {124, 32, 0xFF0000, 0xFF00, 0xFF, 0}, 1, {{1, 2, 3}}, {0xFF010203}, 260},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << test.name);
        int rows = test.height < 0 ? -test.height : test.height;
        int width = static_cast<int>(test.pixels.size()) / rows;
        std::wstring source = folder.file(test.name);
        writeBytes(source, bitFieldBmpFile(test.layout, width, test.height, test.pixels, {}, test.gap));

        BitmapPtr png = convertedToPng(source);
        ASSERT_EQ(png->GetWidth(), static_cast<UINT>(width));
        ASSERT_EQ(png->GetHeight(), static_cast<UINT>(rows));
        for (int i = 0; i < static_cast<int>(test.expected.size()); ++i)
            EXPECT_EQ(pixelAt(png.get(), i % width, i / width), test.expected[i]) << "pixel " << i;
    }
}

TEST_F(CommandLineBatchTest, PalettePicturesWhoseColoursFitThePaletteKeepEveryPixel)
{
    // Every grey level once, as an 8-bit BMP and as an 8-bit PNG.
    Dib greys;
    ASSERT_TRUE(greys.create(16, 16, 8, RGB(0, 0, 0)));
    PALETTEENTRY ramp[256];
    for (int i = 0; i < 256; ++i)
        ramp[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    ASSERT_TRUE(greys.setColorTable(ramp));
    // Grey 7 n for the n-th pixel, modulo 256: neighbours differ, and every level is there once.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            *dibPixel(greys, x, y) = static_cast<BYTE>((y * 16 + x) * 7 % 256);
    std::wstring bmp = folder.file(L"greys.bmp");
    ASSERT_TRUE(greys.saveBmpFile(openForWriting(bmp)));
    std::wstring png = folder.file(L"greys.png");
    BitmapPtr indexed(dibToGdiplusBitmap(greys, false));
    ASSERT_TRUE(indexed);
    ASSERT_TRUE(gdipSaveToFile(png.c_str(), L"image/png", indexed.get(), nullptr));

    for (const std::wstring& source : {bmp, png}) {
        BitmapPtr converted = convertedToPng(source);
        ASSERT_EQ(converted->GetWidth(), 16u);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                UINT32 grey = *dibPixel(greys, x, y);
                ASSERT_EQ(pixelAt(converted.get(), x, y), 0xFF000000u | grey << 16 | grey << 8 | grey) << x << "," << y;
            }
    }
}

// GDI+ widens grey PNGs of 2 bits and more to 32 bits; they come back in their own depth and every level stays:
// 8 bits as RGB, without the alpha channel of the widened picture, and 2 bits, which no bitmap holds, as 4.
TEST_F(CommandLineBatchTest, GreyPngsComeBackInTheirOwnDepth)
{
    const struct {
        const wchar_t* name;
        int depth;
        BYTE writtenDepth;
        BYTE writtenColourType;
    } cases[] = {{L"grey8.png", 8, 8, 2}, {L"grey2.png", 2, 4, 3}};
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.name);
        int top = (1 << test.depth) - 1;
        auto level = [top](int x, int y) { return (x * 17 + y * 5) % (top + 1); };
        std::wstring source = folder.file(test.name);
        writeBytes(source, greyPng(16, 4, test.depth, level));

        BitmapPtr png = convertedToPng(source);
        Bytes written = readBytes(source + L".png");
        ASSERT_GT(written.size(), 26u);
        EXPECT_EQ(written[24], test.writtenDepth) << "bits per channel";
        EXPECT_EQ(written[25], test.writtenColourType);
        for (int i = 0; i < 64; ++i) {
            UINT32 grey = static_cast<UINT32>(level(i % 16, i / 16) * 255 / top);
            EXPECT_EQ(pixelAt(png.get(), i % 16, i / 16), 0xFF000000u | grey * 0x010101u) << i;
        }
    }
}

// Memory that runs out outside any one picture, here for every line of the log, ends the batch as an error.
TEST_F(CommandLineBatchTest, MemoryThatRunsOutForTheLogEndsTheBatchAsAnError)
{
    class ExhaustedLog : public MessageWriter {
    public:
        void write(const wstring&) override { throw std::bad_alloc(); }
        void write(const astring&) override { throw std::bad_alloc(); }
    };
    std::wstring source = folder.file(L"a.png");
    BitmapPtr picture(makeQuarters(4, 4));
    ASSERT_TRUE(gdipSaveToFile(source.c_str(), L"image/png", picture.get(), nullptr));
    wstringArray sources;
    sources.add(source.c_str());
    wstringArray targets;
    targets.add(folder.file(L"a.bmp").c_str());
    AppSetting setting;
    ExhaustedLog log;
    CommandLineBatch batch(setting, &log, nullptr);

    EXPECT_EQ(batch.run(sources, targets, CommandLineBatchOptions()), CommandLineBatch::Failed);
}

// A BMP that wraps a PNG or a JPEG, a form the program does not read itself, is handed to the platform's decoders:
// it converts where they read the form (Wine's do not), and otherwise fails alone, by its name.
TEST_F(CommandLineBatchTest, ABmpWrappingAPngOrAJpegConvertsOrFailsByItsName)
{
    AppSetting setting;
    setting.setSectionsAndPath(folder.file(L"korvilane.xml").c_str());
    setting.load(L"korvilane", nullptr, GetModuleHandleW(nullptr));
    setting.editFormat = OutputFormat::Png;
    for (auto [compression, mimeType] :
         {std::pair{DWORD(BI_PNG), L"image/png"}, std::pair{DWORD(BI_JPEG), L"image/jpeg"}}) {
        SCOPED_TRACE(testing::Message() << mimeType);
        std::wstring inner = folder.file(L"inner");
        BitmapPtr picture(makeQuarters(8, 6));
        ASSERT_TRUE(gdipSaveToFile(inner.c_str(), mimeType, picture.get(), nullptr));
        std::wstring wrapped = folder.file(L"wrapped.bmp");
        writeBytes(wrapped, wrappedBmp(compression, readBytes(inner), 8, 6));
        EXPECT_TRUE(checkPictureFileClaims(wrapped.c_str()));
        wstringArray sources;
        sources.add(wrapped.c_str());
        wstringArray targets;
        targets.add(folder.file(L"wrapped.png").c_str());
        LogLines log;
        CommandLineBatch batch(setting, &log, nullptr);

        int result = batch.run(sources, targets, CommandLineBatchOptions());

        BitmapPtr written(Gdiplus::Bitmap::FromFile(targets.at(0).buffer()));
        if (result == CommandLineBatch::AllWritten) {
            EXPECT_EQ(written->GetWidth(), 8u);
            DeleteFileW(targets.at(0).buffer());
        } else {
            EXPECT_EQ(result, CommandLineBatch::Stopped);
            EXPECT_NE(log.text.find(L"(failure)" + wrapped + L"\r\n"), std::wstring::npos) << log.text;
            EXPECT_NE(written->GetLastStatus(), Gdiplus::Ok) << "no output";
        }
    }
}
