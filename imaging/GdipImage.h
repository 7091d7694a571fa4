#pragma once
#include <windows.h>
#include <gdiplus.h>
#include <memory>
#include "imaging/IImage.h"

// A picture held as a GDI+ image, with all its frames. A failed GDI+ call leaves its status on the image.
class GdipImage : public IImage {
public:
    GdipImage() = default;
    // Holds a clone of the image; the caller keeps its own. A clone that GDI+ cannot make leaves this empty.
    explicit GdipImage(Gdiplus::Image* image);
    // Holds the image itself. A clone of a picture decoded from a file may keep only the frame shown (Wine's
    // GDI+ copies that one alone), the decoded picture keeps them all.
    explicit GdipImage(std::unique_ptr<Gdiplus::Image> image);
    ~GdipImage() override;

    void release() override;
    bool draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth,
              int sourceHeight) override;
    bool load(const wchar_t* path) override;
    bool save(const wchar_t* path) override;
    bool selectFrame(int index) override;
    IImage* clone() override;
    bool isEmpty() override;
    int width() override;
    int height() override;
    int bitsPerPixel() override;
    int frameCount() override;

    // The held image (null when empty); it stays owned by this object.
    Gdiplus::Image* getImage() const { return image; }

private:
    bool firstFrameDimension(GUID& dimension);

    Gdiplus::Image* image = nullptr;
};

// Draws the source rectangle of the image into the destination rectangle of the device context, in pixels;
// true when GDI+ drew it.
bool drawImage(HDC dc, Gdiplus::Image* image, int x, int y, int width, int height, int sourceX, int sourceY,
               int sourceWidth, int sourceHeight);
