#include "imaging/GdipImage.h"
#include <new>
#include "imaging/BitmapCopy.h"
#include "imaging/gdipImageIO.h"
#include "imaging/pictureClaims.h"

GdipImage::GdipImage(Gdiplus::Image* source)
{
    if (!source)
        return;
    // A failed clone comes back null. A clone that is made inherits the source's last status, which may tell of
    // an earlier, unrelated failure (a frame that could not be selected): it is read out and dropped.
    image = source->Clone();
    if (image)
        image->GetLastStatus();
}

GdipImage::GdipImage(std::unique_ptr<Gdiplus::Image> held) : image(held.release())
{
}

GdipImage::~GdipImage()
{
    release();
}

void GdipImage::release()
{
    delete image;
    image = nullptr;
}

bool GdipImage::draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
                     int sourceHeight)
{
    if (isEmpty())
        return false;
    return drawImage(dc, image, x, y, width, height, sourceX, sourceY, sourceWidth, sourceHeight);
}

bool drawImage(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height, int sourceX, int sourceY,
               int sourceWidth, int sourceHeight)
{
    Gdiplus::Graphics graphics(dc);
    if (graphics.GetLastStatus() != Gdiplus::Ok)
        return false;
    Gdiplus::Rect target(x, y, width, height);
    return graphics.DrawImage(image, target, sourceX, sourceY, sourceWidth, sourceHeight, Gdiplus::UnitPixel) ==
           Gdiplus::Ok;
}

bool GdipImage::load(const wchar_t* path)
{
    release();
    if (!path || !checkPictureFileClaims(path))
        return false;
    auto loaded = new Gdiplus::Bitmap(path, FALSE);
    if (!loaded)
        return false;
    if (loaded->GetLastStatus() != Gdiplus::Ok) {
        delete loaded;
        return false;
    }
    image = loaded;
    return true;
}

bool GdipImage::save(const wchar_t* path)
{
    if (isEmpty())
        return false;
    return gdipSaveToFile(path, L"image/bmp", image, nullptr);
}

bool GdipImage::firstFrameDimension(GUID& dimension)
{
    if (image->GetFrameDimensionsCount() == 0)
        return false;
    return image->GetFrameDimensionsList(&dimension, 1) == Gdiplus::Ok;
}

bool GdipImage::selectFrame(int index)
{
    GUID dimension;
    if (isEmpty() || !firstFrameDimension(dimension))
        return false;
    return image->SelectActiveFrame(&dimension, static_cast<UINT>(index)) == Gdiplus::Ok;
}

IImage* GdipImage::clone()
{
    if (isEmpty())
        return keepClone(new (std::nothrow) GdipImage(), false);
    return keepClone(new (std::nothrow) GdipImage(image), true);
}

bool GdipImage::isEmpty()
{
    return !image || image->GetType() == Gdiplus::ImageTypeUnknown;
}

int GdipImage::width()
{
    return isEmpty() ? 0 : static_cast<int>(image->GetWidth());
}

int GdipImage::height()
{
    return isEmpty() ? 0 : static_cast<int>(image->GetHeight());
}

int GdipImage::bitsPerPixel()
{
    return isEmpty() ? 0 : ::bitsPerPixel(image->GetPixelFormat());
}

int GdipImage::frameCount()
{
    GUID dimension;
    if (isEmpty() || !firstFrameDimension(dimension))
        return 0;
    return static_cast<int>(image->GetFrameCount(&dimension));
}
