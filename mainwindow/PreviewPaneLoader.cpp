#include "mainwindow/PreviewPaneLoader.h"
#include <objbase.h>
#include <gdiplus.h>
#include <string>
#include "foundation/Exception.h"
#include "imaging/GdipImage.h"
#include "imaging/pictureLoading.h"

namespace {

// GDI+ may leave the pixels of a picture read from a stream undecoded until they are first asked for; they are
// asked for here, on the loader's thread, and not by the pane's first paint.
void decodePixels(IImage& picture)
{
    auto* held = dynamic_cast<GdipImage*>(&picture);
    Gdiplus::Image* image = held ? held->getImage() : nullptr;
    if (!image || image->GetType() != Gdiplus::ImageTypeBitmap)
        return;
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
    Gdiplus::Rect corner(0, 0, 1, 1);
    Gdiplus::BitmapData pixels;
    if (bitmap->LockBits(&corner, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &pixels) == Gdiplus::Ok)
        bitmap->UnlockBits(&pixels);
}

std::unique_ptr<Dib> iconOf(IImage& picture, SIZE size)
{
    auto icon = std::make_unique<Dib>();
    if (!icon->create(size.cx, size.cy, 24, RGB(255, 255, 255)))
        return nullptr;
    picture.draw(icon->getDC(), 0, 0, size.cx, size.cy, 0, 0, picture.width(), picture.height());
    icon->releaseDC();
    return icon;
}

// Null when no decoder read the file or the load threw (memory running out included): the pane then shows
// nothing rather than a picture that is no longer selected.
void loadPicture(const PreviewPaneLoader::Request& request, PreviewPaneLoader::Result& loaded)
{
    try {
        loaded.picture.reset(loadImage(request.path.buffer(), false, request.frameWindow, request.frameMessage));
        if (!loaded.picture)
            return;
        decodePixels(*loaded.picture);
        if (request.iconSize.cx > 0 && request.iconSize.cy > 0)
            loaded.icon = iconOf(*loaded.picture, request.iconSize);
    } catch (...) {
        loaded.picture.reset();
        loaded.icon.reset();
    }
}

} // namespace

PreviewPaneLoader::PreviewPaneLoader(WorkerPool& workers) : NewestRequestSlot(workers, &work)
{
}

// The pool's thread gets text of its own, shared with nothing of this thread.
WPARAM PreviewPaneLoader::load(const Request& request)
{
    Request own = request;
    own.path = wstring(request.path.buffer());
    std::wstring file(request.path.buffer());
    CharLowerBuffW(file.data(), static_cast<DWORD>(file.size()));
    return submit(own, file);
}

void PreviewPaneLoader::work(const Request& request, Result& loaded)
{
    loaded.path = request.path;
    loadPicture(request, loaded);
}
