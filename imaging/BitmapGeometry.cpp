#include "imaging/BitmapGeometry.h"
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include "imaging/BitmapCopy.h"
#include "imaging/BitmapLock.h"
#include "imaging/PictureSizeLimit.h"
#include "imaging/Resampler.h"

namespace {

constexpr int Border = 5;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

int alignedPosition(int alignment, int canvas, int picture)
{
    switch (alignment) {
    case 1:
        return (canvas - picture) / 2;
    case 2:
        return canvas - picture;
    default:
        return 0;
    }
}

// The corner's coordinate in whole pixels. Cut toward zero, a corner that lands a hair below its pixel, as the
// sines and cosines of right angles leave it, would move the picture by a whole pixel.
INT nearestPixel(double coordinate)
{
    return static_cast<INT>(std::lround(coordinate));
}

// A canvas of the size cleared to the background with the picture drawn onto the three corner points. Pixel
// centres lie half a pixel in, so that the picture sits centred on the corners.
Gdiplus::Bitmap* drawOntoCorners(Gdiplus::Image* image, Gdiplus::ARGB background, int width, int height,
                                 const Gdiplus::Point corners[3])
{
    std::unique_ptr<Gdiplus::Bitmap> result(createBitmap(width, height));
    if (!result)
        return nullptr;
    Gdiplus::Graphics graphics(result.get());
    if (graphics.Clear(Gdiplus::Color(background)) != Gdiplus::Ok ||
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeDefault) != Gdiplus::Ok ||
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf) != Gdiplus::Ok ||
        graphics.DrawImage(image, corners, 3) != Gdiplus::Ok)
        return nullptr;
    return result.release();
}

// The platform's turn of a clockwise angle that is a whole number of quarter turns other than none; false for
// any other angle.
bool quarterTurnOf(double angle, Gdiplus::RotateFlipType& turn)
{
    double quarters = angle / 90.0;
    if (!std::isfinite(quarters) || quarters != std::round(quarters))
        return false;
    const Gdiplus::RotateFlipType turns[] = {Gdiplus::RotateNoneFlipNone, Gdiplus::Rotate90FlipNone,
                                             Gdiplus::Rotate180FlipNone, Gdiplus::Rotate270FlipNone};
    turn = turns[(static_cast<int>(std::fmod(quarters, 4.0)) + 4) % 4];
    return turn != Gdiplus::RotateNoneFlipNone;
}

// Turned by whole quarters, every pixel moves whole: the picture is turned exactly and then drawn unscaled over
// the background, as any other angle is. A resampling draw, which Wine makes without the half-pixel offset,
// would move it by a pixel.
Gdiplus::Bitmap* turnByQuarters(Gdiplus::Image* image, Gdiplus::ARGB background, Gdiplus::RotateFlipType turn)
{
    std::unique_ptr<Gdiplus::Bitmap> turned(copyBitmap32(image));
    if (!turned || turned->RotateFlip(turn) != Gdiplus::Ok)
        return nullptr;
    return placeOnCanvas(turned.get(), static_cast<int>(turned->GetWidth()), static_cast<int>(turned->GetHeight()),
                         background, 0, 0);
}

bool isResampledDirectly(Gdiplus::Image* image)
{
    if (image->GetType() != Gdiplus::ImageTypeBitmap)
        return false;
    Gdiplus::PixelFormat format = image->GetPixelFormat();
    return format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB || format == PixelFormat32bppRGB;
}

// The 32-bit formats go through our own resampler: GDI+'s padded draw costs about a second for a large photo.
Gdiplus::Bitmap* resampleBitmap(Gdiplus::Bitmap* source, int width, int height, Gdiplus::InterpolationMode mode)
{
    std::unique_ptr<Gdiplus::Bitmap> result(createBitmap(width, height));
    if (!result)
        return nullptr;
    Gdiplus::PixelFormat format = source->GetPixelFormat();
    BitmapLock in(source, Gdiplus::ImageLockModeRead, format);
    BitmapLock out(result.get(), Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB);
    if (!in.isLocked() || !out.isLocked() ||
        !Resampler::resample(in.row(0), in.data.Stride, in.width(), in.height(), format, out.row(0),
                             out.data.Stride, width, height, Resampler::filterOf(mode)))
        return nullptr;
    return result.release();
}

} // namespace

Gdiplus::Bitmap* placeOnCanvas(Gdiplus::Image* image, int width, int height, Gdiplus::ARGB background,
                               int horizontalAlignment, int verticalAlignment)
{
    if (!image)
        return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> canvas(createBitmap(width, height));
    if (!canvas)
        return nullptr;
    int pictureWidth = static_cast<int>(image->GetWidth());
    int pictureHeight = static_cast<int>(image->GetHeight());
    int x = alignedPosition(horizontalAlignment, width, pictureWidth);
    int y = alignedPosition(verticalAlignment, height, pictureHeight);
    Gdiplus::Graphics graphics(canvas.get());
    if (graphics.Clear(Gdiplus::Color(background)) != Gdiplus::Ok ||
        graphics.DrawImage(image, x, y, pictureWidth, pictureHeight) != Gdiplus::Ok)
        return nullptr;
    return canvas.release();
}

Gdiplus::Bitmap* padBitmapMirrored(Gdiplus::Image* image)
{
    if (!image)
        return nullptr;
    int width = static_cast<int>(image->GetWidth());
    int height = static_cast<int>(image->GetHeight());
    std::unique_ptr<Gdiplus::Bitmap> canvas(placeOnCanvas(image, width + 2 * Border, height + 2 * Border, 0, 1, 1));
    std::unique_ptr<Gdiplus::Bitmap> padded(createBitmap(width + 2 * Border, height + 2 * Border));
    if (!canvas || !padded)
        return nullptr;
    Gdiplus::TextureBrush brush(canvas.get(), Gdiplus::WrapModeTileFlipXY, Gdiplus::Rect(Border, Border, width, height));
    if (brush.GetLastStatus() != Gdiplus::Ok || brush.TranslateTransform(Border, Border) != Gdiplus::Ok)
        return nullptr;
    Gdiplus::Graphics graphics(padded.get());
    graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    if (graphics.FillRectangle(&brush, 0, 0, width + 2 * Border, height + 2 * Border) != Gdiplus::Ok)
        return nullptr;
    return padded.release();
}

Gdiplus::Bitmap* resizeBitmap(Gdiplus::Image* image, int width, int height, Gdiplus::InterpolationMode mode)
{
    if (image && isResampledDirectly(image))
        return resampleBitmap(static_cast<Gdiplus::Bitmap*>(image), width, height, mode);
    std::unique_ptr<Gdiplus::Bitmap> padded(padBitmapMirrored(image));
    std::unique_ptr<Gdiplus::Bitmap> result(padded ? createBitmap(width, height) : nullptr);
    if (!result)
        return nullptr;
    Gdiplus::Graphics graphics(result.get());
    Gdiplus::Rect target(0, 0, width, height);
    if (graphics.SetInterpolationMode(mode) != Gdiplus::Ok ||
        graphics.DrawImage(padded.get(), target, Border, Border, static_cast<INT>(image->GetWidth()),
                           static_cast<INT>(image->GetHeight()), Gdiplus::UnitPixel) != Gdiplus::Ok)
        return nullptr;
    return result.release();
}

void rotatedBounds(int width, int height, double angle, int& outWidth, int& outHeight, Gdiplus::Point corners[3])
{
    double t = radians(angle);
    double c = std::cos(t);
    double s = std::sin(t);
    double x0 = std::max(0.0, -width * c) + std::max(0.0, height * s);
    double y0 = std::max(0.0, -width * s) + std::max(0.0, -height * c);
    outWidth = static_cast<int>(std::fabs(height * s) + std::fabs(width * c));
    outHeight = static_cast<int>(std::fabs(height * c) + std::fabs(width * s));
    corners[0] = Gdiplus::Point(nearestPixel(x0), nearestPixel(y0));
    corners[1] = Gdiplus::Point(nearestPixel(x0 + width * c), nearestPixel(y0 + width * s));
    corners[2] = Gdiplus::Point(nearestPixel(x0 - height * s), nearestPixel(y0 + height * c));
}

bool skewedSize(double width, double height, double angle, bool vertical, double& outWidth, double& outHeight)
{
    if (!(angle > -90.0 && angle < 90.0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    double slant = std::trunc(std::fabs(std::tan(radians(angle)) * (vertical ? width : height)));
    outWidth = vertical ? width : width + slant;
    outHeight = vertical ? height + slant : height;
    return true;
}

bool skewedBounds(int width, int height, double angle, bool vertical, int& outWidth, int& outHeight,
                  Gdiplus::Point corners[3])
{
    double slantedWidth = 0;
    double slantedHeight = 0;
    // Near a right angle the slant outgrows any picture long before the sizes outgrow an int.
    if (!skewedSize(width, height, angle, vertical, slantedWidth, slantedHeight) ||
        !PictureSizeLimit::check(slantedWidth, slantedHeight))
        return false;
    double shift = std::tan(radians(angle)) * (vertical ? width : height);
    double start = std::max(0.0, shift);
    if (vertical) {
        outWidth = width;
        outHeight = static_cast<int>(slantedHeight);
        corners[0] = Gdiplus::Point(0, static_cast<INT>(start));
        corners[1] = Gdiplus::Point(width, static_cast<INT>(start - shift));
        corners[2] = Gdiplus::Point(0, static_cast<INT>(start + height));
    } else {
        outWidth = static_cast<int>(slantedWidth);
        outHeight = height;
        corners[0] = Gdiplus::Point(static_cast<INT>(start), 0);
        corners[1] = Gdiplus::Point(static_cast<INT>(start + width), 0);
        corners[2] = Gdiplus::Point(static_cast<INT>(start - shift), height);
    }
    return true;
}

Gdiplus::Bitmap* rotateBitmap(Gdiplus::Image* image, Gdiplus::ARGB background, double angle)
{
    if (!image)
        return nullptr;
    Gdiplus::RotateFlipType turn = Gdiplus::RotateNoneFlipNone;
    if (quarterTurnOf(angle, turn))
        return turnByQuarters(image, background, turn);
    int width = 0;
    int height = 0;
    Gdiplus::Point corners[3];
    rotatedBounds(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()), angle, width, height,
                  corners);
    return drawOntoCorners(image, background, width, height, corners);
}

Gdiplus::Bitmap* skewBitmap(Gdiplus::ARGB background, double angle, Gdiplus::Image* image, bool vertical)
{
    if (!image)
        return nullptr;
    int width = 0;
    int height = 0;
    Gdiplus::Point corners[3];
    if (!skewedBounds(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()), angle, vertical,
                      width, height, corners))
        return nullptr;
    return drawOntoCorners(image, background, width, height, corners);
}
