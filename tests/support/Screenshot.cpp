#include "support/Screenshot.h"
#include <gdiplus.h>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// GDI+ for the time of one save.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession()
    {
        if (started)
            Gdiplus::GdiplusShutdown(token);
    }
    bool isStarted() const { return started; }

private:
    ULONG_PTR token = 0;
    bool started = false;
};

// A bitmap of the screen's format with a memory context selected into it.
class Canvas {
public:
    Canvas(int width, int height)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        if (dc && bitmap)
            old = SelectObject(dc, bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas()
    {
        if (old)
            SelectObject(dc, old);
        if (bitmap)
            DeleteObject(bitmap);
        if (dc)
            DeleteDC(dc);
    }
    bool isReady() const { return old != nullptr; }
    HDC context() const { return dc; }
    // The bitmap must not be selected while GDI+ reads it.
    HBITMAP release()
    {
        SelectObject(dc, old);
        old = nullptr;
        return bitmap;
    }

private:
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

bool pngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || !bytes)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

std::wstring currentFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? folder : L".";
}

// Taken when the program starts: a file dialog under test changes the current folder while it shows.
const std::wstring StartFolder = currentFolder();

std::wstring pathFor(const std::wstring& name)
{
    std::wstring folder = StartFolder + L"\\screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name + L".png";
}

bool copyScreen(Canvas& canvas, int left, int top)
{
    HDC screen = GetDC(nullptr);
    BITMAP size{};
    GetObjectW(GetCurrentObject(canvas.context(), OBJ_BITMAP), sizeof(size), &size);
    bool copied = BitBlt(canvas.context(), 0, 0, size.bmWidth, size.bmHeight, screen, left, top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return copied;
}

bool needsPainting(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return true;
    bool pending = false;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lParam) -> BOOL {
            if (GetUpdateRect(child, nullptr, FALSE))
                *reinterpret_cast<bool*>(lParam) = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&pending));
    return pending;
}

// Repaints the window and its children, and waits (a few seconds at most) until the window's thread has
// done so and the picture has reached the screen.
void paintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int tries = 0; tries < 200 && needsPainting(window); ++tries)
        Sleep(10);
    GdiFlush();
    // The window's thread hands its drawing to the screen when it next looks for messages.
    DWORD_PTR ignored;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
}

std::wstring savePng(Canvas& canvas, const std::wstring& name)
{
    HBITMAP bitmap = canvas.release();
    GdiplusSession gdiplus;
    CLSID encoder;
    if (!gdiplus.isStarted() || !pngEncoder(encoder))
        return {};
    std::wstring path = pathFor(name);
    std::unique_ptr<Gdiplus::Bitmap> picture(Gdiplus::Bitmap::FromHBITMAP(bitmap, nullptr));
    if (!picture || picture->Save(path.c_str(), &encoder, nullptr) != Gdiplus::Ok)
        return {};
    std::fwprintf(stdout, L"[screenshot] %ls\n", path.c_str());
    std::fflush(stdout);
    return path;
}

} // namespace

std::wstring saveWindowScreenshot(HWND window, const std::wstring& name)
{
    RECT bounds;
    if (!GetWindowRect(window, &bounds))
        return {};
    // Other programs' windows may share the screen: this one must lie on top while it is copied.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    paintNow(window);
    Canvas canvas(bounds.right - bounds.left, bounds.bottom - bounds.top);
    // From the window's own picture: test programs running at the same time each show a desktop of their
    // own on the one X screen, and another one's may lie over this program's.
    HDC drawn = GetWindowDC(window);
    bool copied = canvas.isReady() && drawn &&
                  BitBlt(canvas.context(), 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top, drawn, 0, 0,
                         SRCCOPY);
    if (drawn)
        ReleaseDC(window, drawn);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    return copied ? savePng(canvas, name) : std::wstring();
}

std::wstring saveScreenScreenshot(const std::wstring& name)
{
    EnumWindows(
        [](HWND window, LPARAM) -> BOOL {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(window))
                paintNow(window);
            return TRUE;
        },
        0);
    return saveScreenAsShown(name);
}

std::wstring saveScreenAsShown(const std::wstring& name)
{
    Canvas canvas(GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    bool copied = canvas.isReady() &&
                  copyScreen(canvas, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
    return copied ? savePng(canvas, name) : std::wstring();
}
