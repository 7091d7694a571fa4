#include <gtest/gtest.h>
#include "imaging/Dib.h"
#include "imaging/gdipImageIO.h"
#include "support/ImagingTestSupport.h"

namespace {

class GdipImageIO : public GdiplusTest {};

IStream* bmpStream(int bits, BYTE alpha)
{
    Dib dib;
    dib.create(3, 2, bits, RGB(10, 20, 30));
    if (bits == 32)
        dibPixel(dib, 2, 0)[3] = alpha;
    return dib.toStream();
}

GUID rawFormatOf(Gdiplus::Image* image)
{
    GUID format = {};
    image->GetRawFormat(&format);
    return format;
}

Gdiplus::PropertyItem makerItem(char* text, ULONG length)
{
    Gdiplus::PropertyItem item;
    item.id = PropertyTagEquipMake;
    item.length = length;
    item.type = PropertyTagTypeASCII;
    item.value = text;
    return item;
}

} // namespace

TEST_F(GdipImageIO, Bmp32KeepsItsAlphaThroughTheDib)
{
    StreamPtr stream(bmpStream(32, 0x40));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_TRUE(isSelfReadBmpStream(stream.get()));
    ULARGE_INTEGER position = {};
    stream->Seek(zero, STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position.QuadPart, 0u);

    BitmapPtr bitmap(gdipBitmapFromStream(stream.get()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_EQ(pixelAt(bitmap.get(), 2, 0), 0x400A141Eu);
    EXPECT_EQ(pixelAt(bitmap.get(), 0, 0), 0x000A141Eu);
}

TEST_F(GdipImageIO, Bmp32WithoutAnyAlphaIsOpaque)
{
    StreamPtr stream(bmpStream(32, 0));
    BitmapPtr bitmap(gdipBitmapFromStream(stream.get()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(pixelAt(bitmap.get(), 0, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixelAt(bitmap.get(), 2, 1), 0xFF0A141Eu);
}

TEST_F(GdipImageIO, OtherPicturesAreDecodedByGdiplus)
{
    StreamPtr stream(bmpStream(24, 0));
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_FALSE(isSelfReadBmpStream(stream.get()));
    BitmapPtr bitmap(gdipBitmapFromStream(stream.get()));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(rawFormatOf(bitmap.get()), Gdiplus::ImageFormatBMP);
    EXPECT_EQ(pixelAt(bitmap.get(), 1, 1), 0xFF0A141Eu);

    StreamPtr garbage(streamOf(std::vector<BYTE>(64, 0x5A)));
    EXPECT_EQ(gdipBitmapFromStream(garbage.get()), nullptr);
    StreamPtr brokenBmp32(streamOf(std::vector<BYTE>{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 9, 0,
                                                     0, 0, 9, 0, 0, 0, 1, 0, 32, 0}));
    EXPECT_EQ(gdipBitmapFromStream(brokenBmp32.get()), nullptr);
    EXPECT_EQ(gdipBitmapFromStream(nullptr), nullptr);
}

TEST_F(GdipImageIO, EncodesIntoStreamsWithAndWithoutPropertyItems)
{
    BitmapPtr source(makeBitmap32(4, 3, [](int x, int y) { return 0xFF000000u | (x * 40) << 16 | (y * 70); }));
    StreamPtr plain(gdipEncodeToStream(L"image/png", source.get(), nullptr));
    ASSERT_TRUE(plain);
    LARGE_INTEGER zero = {};
    plain->Seek(zero, STREAM_SEEK_SET, nullptr);
    BitmapPtr decoded(gdipBitmapFromStream(plain.get()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(rawFormatOf(decoded.get()), Gdiplus::ImageFormatPNG);
    EXPECT_EQ(pixelAt(decoded.get(), 3, 2), pixelAt(source.get(), 3, 2));

    char maker[] = "korvilane";
    Gdiplus::PropertyItem item = makerItem(maker, sizeof(maker));
    StreamPtr withItem(gdipEncodeToStream(L"image/jpeg", source.get(), nullptr, &item, 1));
    ASSERT_TRUE(withItem);
    withItem->Seek(zero, STREAM_SEEK_SET, nullptr);
    decoded.reset(gdipBitmapFromStream(withItem.get()));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(rawFormatOf(decoded.get()), Gdiplus::ImageFormatJPEG);
    EXPECT_EQ(decoded->GetWidth(), 4u);

    EXPECT_EQ(gdipEncodeToStream(L"image/none", source.get(), nullptr), nullptr);
    EXPECT_EQ(gdipEncodeToStream(nullptr, source.get(), nullptr), nullptr);
}

TEST_F(GdipImageIO, SavesFilesAndLoadsThemFromHandles)
{
    ScratchFolder folder(L"gdip-io");
    std::wstring path = folder.file(L"picture.png");
    BitmapPtr source(makeBitmap32(5, 2, [](int x, int) { return x == 4 ? 0x80FF0000u : 0xFF00FF00u; }));
    char maker[] = "korvilane";
    Gdiplus::PropertyItem item = makerItem(maker, sizeof(maker));
    ASSERT_TRUE(gdipSaveToFile(path.c_str(), L"image/png", source.get(), nullptr, &item, 1));

    HANDLE file = openForReading(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    BitmapPtr loaded(gdipLoadFromFileHandle(file));
    CloseHandle(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(pixelAt(loaded.get(), 4, 1), 0x80FF0000u);
    EXPECT_EQ(pixelAt(loaded.get(), 0, 0), 0xFF00FF00u);

    EXPECT_FALSE(gdipSaveToFile(nullptr, L"image/png", source.get(), nullptr));
    EXPECT_FALSE(gdipSaveToFile(path.c_str(), L"image/none", source.get(), nullptr));
    EXPECT_FALSE(gdipSaveToFile(path.c_str(), L"image/png", nullptr, nullptr));
    EXPECT_EQ(gdipLoadFromFileHandle(INVALID_HANDLE_VALUE), nullptr);

    std::wstring emptyPath = folder.file(L"empty.png");
    writeBytes(emptyPath, {});
    file = openForReading(emptyPath);
    EXPECT_EQ(gdipLoadFromFileHandle(file), nullptr);
    CloseHandle(file);
}
