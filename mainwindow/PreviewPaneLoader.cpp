#include "mainwindow/PreviewPaneLoader.h"
#include <objbase.h>
#include <gdiplus.h>
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

PreviewPaneLoader::PreviewPaneLoader() : wake(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (!wake)
        Exception::throwLastError();
}

PreviewPaneLoader::~PreviewPaneLoader()
{
    stop();
    CloseHandle(wake);
}

void PreviewPaneLoader::load(const Request& request)
{
    std::unique_ptr<IImage> stale;
    {
        CriticalSectionLock hold(lock);
        if (stopped)
            return;
        // The thread gets text of its own, shared with nothing of this thread.
        waiting = request;
        waiting.path = wstring(request.path.buffer());
        hasRequest = true;
        ++newest;
        stale = std::move(result.picture);
        result.icon.reset();
        hasResult = false;
    }
    if (!isHeld() && !start(nullptr)) {
        DWORD error = GetLastError();
        forget();
        throw Exception(error ? static_cast<int>(error) : ErrorCode::NoMemory);
    }
    SetEvent(wake);
}

void PreviewPaneLoader::forget()
{
    std::unique_ptr<IImage> stale;
    CriticalSectionLock hold(lock);
    ++newest;
    hasRequest = false;
    waiting = Request();
    stale = std::move(result.picture);
    result.icon.reset();
    hasResult = false;
}

bool PreviewPaneLoader::take(WPARAM number, Result& taken)
{
    CriticalSectionLock hold(lock);
    if (!hasResult || number != newest)
        return false;
    taken.path = wstring(result.path.buffer());
    taken.picture = std::move(result.picture);
    taken.icon = std::move(result.icon);
    hasResult = false;
    return true;
}

void PreviewPaneLoader::stop()
{
    {
        CriticalSectionLock hold(lock);
        stopped = true;
    }
    forget();
    requestStop();
    SetEvent(wake);
    join(true);
}

bool PreviewPaneLoader::isLoading()
{
    CriticalSectionLock hold(lock);
    return loading;
}

DWORD PreviewPaneLoader::Run(void*)
{
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Request request;
    WPARAM number = 0;
    while (WaitForSingleObject(wake, INFINITE) == WAIT_OBJECT_0 && isRunning()) {
        while (takeRequest(request, number)) {
            Result loaded;
            loaded.path = request.path;
            if (SUCCEEDED(com))
                loadPicture(request, loaded);
            deliver(number, request, loaded);
        }
    }
    request = Request();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

bool PreviewPaneLoader::takeRequest(Request& request, WPARAM& number)
{
    CriticalSectionLock hold(lock);
    if (!hasRequest || !isRunning())
        return false;
    request = waiting;
    waiting = Request();
    hasRequest = false;
    number = newest;
    loading = true;
    return true;
}

// A picture that is not handed over stays the caller's, to be deleted once the lock is left.
void PreviewPaneLoader::deliver(WPARAM number, const Request& request, Result& loaded)
{
    CriticalSectionLock hold(lock);
    loading = false;
    if (number != newest || !isRunning())
        return;
    result.path = loaded.path;
    result.picture = std::move(loaded.picture);
    result.icon = std::move(loaded.icon);
    hasResult = true;
    PostMessageW(request.window, request.message, number, 0);
}
