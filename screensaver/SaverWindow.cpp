#include "screensaver/SaverWindow.h"
#include <new>
#include "foundation/Exception.h"
#include "foundation/ScreenSaverFile.h"
#include "screensaver/DesktopSnapshot.h"
#include "screensaver/Pic.h"
#include "screensaver/ScreenSaverFramework.h"

namespace {

// A bitmap of the client's size to paint into before anything reaches the screen.
class OffscreenBuffer {
public:
    OffscreenBuffer(HDC target, SIZE size)
        : dc(CreateCompatibleDC(target)), bitmap(CreateCompatibleBitmap(target, size.cx, size.cy))
    {
        if (dc && bitmap)
            previous = SelectObject(dc, bitmap);
    }
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;
    ~OffscreenBuffer()
    {
        if (previous)
            SelectObject(dc, previous);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    bool isValid() const { return previous != nullptr; }
    HDC get() const { return dc; }

private:
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous = nullptr;
};

// Drawing outside the update rectangle (and a pixel around it) is wasted: it never reaches the screen.
void clipAround(HDC dc, const RECT& update, SIZE size)
{
    ExcludeClipRect(dc, 0, 0, size.cx, update.top - 1);
    ExcludeClipRect(dc, 0, update.bottom + 1, size.cx, size.cy);
    ExcludeClipRect(dc, 0, 0, update.left - 1, size.cy);
    ExcludeClipRect(dc, update.right + 1, 0, size.cx, size.cy);
}

[[noreturn]] void throwLastError()
{
    DWORD error = GetLastError();
    throw Exception(static_cast<int>(error ? error : ERROR_INVALID_DATA));
}

} // namespace

SaverWindow::SaverWindow(HWND window, HMODULE module) : window(window), module(module)
{
}

SaverWindow::~SaverWindow()
{
    timer.stop();
}

bool SaverWindow::create()
{
    RECT area{};
    GetClientRect(window, &area);
    client = SIZE{area.right, area.bottom};
    if (GetParent(window))
        previewScale = static_cast<double>(client.cy) / GetSystemMetrics(SM_CYSCREEN);
    holdLength = holdLengthFor(client.cx, client.cy);
    {
        Dib snapshot;
        if (!captureDesktop(snapshot) || !pictures.setBackground(snapshot, client.cx, client.cy))
            return false;
    }
    info.reset(new (std::nothrow) PictureInfo(module));
    return info && timer.start(window);
}

void SaverWindow::tick()
{
    TickScope scope(timer);
    if (fade.needsPicture()) {
        try {
            loadNextPicture();
        } catch (const Exception&) {
            return;
        }
    }
    int ticks = fade.advance(holdLength);
    if (pictures.hasSource())
        moveTo(ticks);
}

void SaverWindow::loadNextPicture()
{
    if (!info || info->getPlayList().isEmpty())
        throw Exception(ERROR_INVALID_FUNCTION);
    int index = info->getPlayList().next() - 1;
    Pic pic;
    if (!pic.load(module, ScreenSaverFile::pictureId(index), ScreenSaverFile::pictureType(index).name))
        throwLastError();
    Picture picture;
    if (!picture.createFrom(pic))
        throwLastError();
    if (previewScale != 1.0 && !picture.copyScaled(picture, previewScale))
        throwLastError();
    if (!pictures.setSource(picture))
        throwLastError();
    info->place(client, SIZE{picture.width(), picture.height()}, previewScale);
}

void SaverWindow::moveTo(int ticks)
{
    int x = driftedPosition(info->startX, info->velocityX, ticks);
    int y = driftedPosition(info->startY, info->velocityY, ticks);
    RECT now{x, y, x + pictures.sourceWidth(), y + pictures.sourceHeight()};
    RECT changed;
    UnionRect(&changed, &now, &shown);
    InvalidateRect(window, &changed, FALSE);
    shown = now;
}

void SaverWindow::paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc)
        paintInto(dc, paint.rcPaint);
    EndPaint(window, &paint);
}

void SaverWindow::paintInto(HDC dc, const RECT& update)
{
    OffscreenBuffer buffer(dc, client);
    if (!buffer.isValid())
        return;
    clipAround(buffer.get(), update, client);
    pictures.drawBackground(buffer.get());
    if (pictures.hasSource())
        pictures.drawFrame(buffer.get(), shown.left, shown.top, fade.alpha);
    BitBlt(dc, update.left, update.top, update.right - update.left, update.bottom - update.top, buffer.get(),
           update.left, update.top, SRCCOPY);
}

// The saver program's side of the framework.

namespace {

SaverWindow* saverOf(HWND window)
{
    return reinterpret_cast<SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT onCreate(HWND window, const CREATESTRUCTW& creation)
{
    auto saver = new (std::nothrow) SaverWindow(window, creation.hInstance);
    if (!saver)
        return -1;
    if (!saver->create()) {
        delete saver;
        return -1;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
    return 0;
}

void onDestroy(HWND window)
{
    delete saverOf(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
}

LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SaverWindow* saver = saverOf(window);
    switch (message) {
    case WM_CREATE:
        return onCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case Timer::TickMessage:
        if (saver)
            saver->tick();
        return 0;
    case WM_PAINT:
        if (!saver)
            break;
        saver->paint();
        return 0;
    case WM_ERASEBKGND:
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    default:
        break;
    }
    return DefScreenSaverProc(window, message, wParam, lParam);
}

} // namespace

LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        return dispatch(window, message, wParam, lParam);
    } catch (...) {
        // A saver that fails in a step shows the desktop for that step; it never takes the session down.
        return message == WM_CREATE ? -1 : 0;
    }
}

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        EndDialog(dialog, 1);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 2);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL WINAPI RegisterDialogClasses(HINSTANCE)
{
    return TRUE;
}
