#include <gtest/gtest.h>
#include <algorithm>
#include <memory>
#include "imaging/DibImage.h"
#include "imaging/GdipImage.h"
#include "imaging/gdipImageIO.h"
#include "support/ImagingTestSupport.h"

namespace {

class DisplayableImage : public GdiplusTest {};

using ImagePtr = std::unique_ptr<IImage>;

constexpr COLORREF Backdrop = RGB(1, 2, 3);

// A 2 x 1 GIF of three frames, each one flat colour: red, green, blue.
std::vector<BYTE> threeFrameGif()
{
    std::vector<BYTE> gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 1, 0, 0x91, 0, 0};
    BYTE colours[] = {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF};
    gif.insert(gif.end(), colours, colours + sizeof(colours));
    for (int index = 0; index < 3; ++index) {
        BYTE control[] = {0x21, 0xF9, 4, 0, 10, 0, 0, 0};
        BYTE descriptor[] = {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0};
        gif.insert(gif.end(), control, control + sizeof(control));
        gif.insert(gif.end(), descriptor, descriptor + sizeof(descriptor));
        // Minimum code size 2, 3-bit codes: clear, the index twice, end.
        int codes = 4 | index << 3 | index << 6 | 5 << 9;
        BYTE data[] = {2, 2, static_cast<BYTE>(codes & 0xFF), static_cast<BYTE>(codes >> 8), 0};
        gif.insert(gif.end(), data, data + sizeof(data));
    }
    gif.push_back(0x3B);
    return gif;
}

// The colour that drawing the whole picture 1:1 leaves at (x, y) of a 24-bit canvas.
COLORREF drawnColour(IImage& image, int x, int y)
{
    int width = std::max(image.width(), 1);
    int height = std::max(image.height(), 1);
    Dib canvas;
    if (!canvas.create(width, height, 24, Backdrop))
        return CLR_INVALID;
    bool drawn = image.draw(canvas.getDC(), 0, 0, width, height, 0, 0, width, height);
    canvas.releaseDC();
    if (!drawn)
        return CLR_INVALID;
    const BYTE* pixel = dibPixel(canvas, x, y);
    return RGB(pixel[2], pixel[1], pixel[0]);
}

void expectEmpty(IImage& image)
{
    EXPECT_TRUE(image.isEmpty());
    EXPECT_EQ(image.width() + image.height() + image.bitsPerPixel() + image.frameCount(), 0);
    EXPECT_FALSE(image.selectFrame(0));
    EXPECT_EQ(drawnColour(image, 0, 0), CLR_INVALID);
}

// A BMP of the picture, read back through a DibImage.
std::unique_ptr<DibImage> rereadAsBmp(IImage& image, const std::wstring& path)
{
    auto reread = std::make_unique<DibImage>();
    if (!image.save(path.c_str()) || !reread->load(path.c_str()))
        return nullptr;
    return reread;
}

} // namespace

TEST_F(DisplayableImage, GdipImageHoldsItsOwnCloneOfTheBitmap)
{
    BitmapPtr source(makeBitmap32(4, 3, [](int x, int) { return x < 2 ? 0xFF102030u : 0xFF405060u; }));
    GdipImage image(source.get());
    source.reset();
    EXPECT_EQ(image.width(), 4);
    EXPECT_EQ(image.height(), 3);
    EXPECT_EQ(image.bitsPerPixel(), 32);
    EXPECT_EQ(image.frameCount(), 1);
    EXPECT_EQ(drawnColour(image, 0, 0), RGB(0x10, 0x20, 0x30));

    ImagePtr copy(image.clone());
    ASSERT_NE(dynamic_cast<GdipImage*>(copy.get()), nullptr);
    image.release();
    expectEmpty(image);
    EXPECT_EQ(drawnColour(*copy, 3, 2), RGB(0x40, 0x50, 0x60));
}

TEST_F(DisplayableImage, GdipImageStepsThroughTheFramesOfAnAnimatedGif)
{
    ScratchFolder folder(L"displayable-gif");
    std::wstring path = folder.file(L"three.gif");
    writeBytes(path, threeFrameGif());
    GdipImage image;
    ASSERT_TRUE(image.load(path.c_str()));
    EXPECT_EQ(image.frameCount(), 3);
    EXPECT_EQ(drawnColour(image, 1, 0), RGB(0xFF, 0, 0));
    ASSERT_TRUE(image.selectFrame(1));
    EXPECT_EQ(drawnColour(image, 1, 0), RGB(0, 0xFF, 0));
    ASSERT_TRUE(image.selectFrame(2));
    EXPECT_EQ(drawnColour(image, 0, 0), RGB(0, 0, 0xFF));
    EXPECT_FALSE(image.selectFrame(3));

    // Wine's GDI+ clones only the active frame; Windows keeps them all.
    ImagePtr copy(image.clone());
    ASSERT_TRUE(copy);
    EXPECT_GE(copy->frameCount(), 1);
}

TEST_F(DisplayableImage, GdipImageLoadsAnyPictureAndSavesBmp)
{
    ScratchFolder folder(L"displayable-gdip");
    std::wstring png = folder.file(L"picture.png");
    BitmapPtr source(makeBitmap32(5, 2, [](int, int y) { return y == 0 ? 0xFFFF0000u : 0xFF0000FFu; }));
    ASSERT_TRUE(gdipSaveToFile(png.c_str(), L"image/png", source.get(), nullptr));
    GdipImage image;
    ASSERT_TRUE(image.load(png.c_str()));
    std::unique_ptr<DibImage> reread = rereadAsBmp(image, folder.file(L"saved.png"));
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->width(), 5);
    EXPECT_EQ(drawnColour(*reread, 0, 1), RGB(0, 0, 0xFF));
    EXPECT_FALSE(image.save(nullptr));

    // GDI leaves the fourth bytes of a 32-bit BMP 0: the picture is opaque, not invisible.
    std::wstring gdiBmp = folder.file(L"gdi.bmp");
    Dib gdiPicture;
    ASSERT_TRUE(gdiPicture.create(3, 2, 32, RGB(0x20, 0x40, 0x80)));
    ASSERT_TRUE(gdiPicture.saveBmpFile(openForWriting(gdiBmp)));
    ASSERT_TRUE(image.load(gdiBmp.c_str()));
    EXPECT_EQ(drawnColour(image, 1, 1), RGB(0x20, 0x40, 0x80));

    std::wstring garbage = folder.file(L"garbage.png");
    writeBytes(garbage, std::vector<BYTE>(100, 0x5A));
    EXPECT_FALSE(image.load(garbage.c_str()));
    expectEmpty(image);
    EXPECT_FALSE(image.save(folder.file(L"empty.bmp").c_str()));
    EXPECT_FALSE(image.load(folder.file(L"missing.png").c_str()));
    EXPECT_FALSE(image.load(nullptr));
}

TEST_F(DisplayableImage, DibImageReadsAndWritesBmpOnly)
{
    ScratchFolder folder(L"displayable-dib");
    Dib picture;
    ASSERT_TRUE(picture.create(3, 4, 24, RGB(0x11, 0x22, 0x33)));
    dibPixel(picture, 2, 3)[2] = 0xEE;
    DibImage image(picture);
    EXPECT_EQ(image.bitsPerPixel(), 24);
    EXPECT_EQ(image.frameCount(), 1);
    EXPECT_TRUE(image.selectFrame(0));
    EXPECT_FALSE(image.selectFrame(1));
    std::unique_ptr<DibImage> reread = rereadAsBmp(image, folder.file(L"picture.bmp"));
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->height(), 4);
    EXPECT_EQ(drawnColour(*reread, 2, 3), RGB(0xEE, 0x22, 0x33));

    ImagePtr copy(image.clone());
    ASSERT_NE(dynamic_cast<DibImage*>(copy.get()), nullptr);
    image.release();
    expectEmpty(image);
    EXPECT_EQ(drawnColour(*copy, 2, 3), RGB(0xEE, 0x22, 0x33));

    std::wstring png = folder.file(L"picture.png");
    BitmapPtr source(makeBitmap32(2, 2, [](int, int) { return 0xFF000000u; }));
    ASSERT_TRUE(gdipSaveToFile(png.c_str(), L"image/png", source.get(), nullptr));
    EXPECT_FALSE(image.load(png.c_str()));
    expectEmpty(image);
    EXPECT_FALSE(image.load(folder.file(L"missing.bmp").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    std::wstring nothing = folder.file(L"nothing.bmp");
    EXPECT_FALSE(image.save(nothing.c_str()));
    EXPECT_EQ(GetLastError(), 1u);
    EXPECT_EQ(GetFileAttributesW(nothing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(DisplayableImage, ClonesOfEmptyImagesAreEmptyImagesOfTheSameClass)
{
    DibImage emptyDib;
    ImagePtr dibCopy(emptyDib.clone());
    ASSERT_NE(dynamic_cast<DibImage*>(dibCopy.get()), nullptr);
    EXPECT_TRUE(dibCopy->isEmpty());
    GdipImage emptyGdip(nullptr);
    ImagePtr gdipCopy(emptyGdip.clone());
    ASSERT_NE(dynamic_cast<GdipImage*>(gdipCopy.get()), nullptr);
    EXPECT_TRUE(gdipCopy->isEmpty());
}
