#include "screensaver/DesktopSnapshot.h"

namespace {

constexpr int MaxIndexedBits = 8;

class ScreenDC {
public:
    ScreenDC() : dc(GetDC(nullptr)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC()
    {
        if (dc)
            ReleaseDC(nullptr, dc);
    }
    HDC get() const { return dc; }

private:
    HDC dc;
};

bool createLikeScreen(Dib& snapshot, HDC screen, int width, int height)
{
    int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    if (bits > MaxIndexedBits)
        return snapshot.create(width, height, 24, RGB(0, 0, 0));
    if (!snapshot.create(width, height, bits, RGB(0, 0, 0)))
        return false;
    PALETTEENTRY entries[1 << MaxIndexedBits] = {};
    GetSystemPaletteEntries(screen, 0, 1u << bits, entries);
    return snapshot.setColorTable(entries);
}

} // namespace

bool captureDesktop(Dib& snapshot)
{
    ScreenDC screen;
    if (!screen.get())
        return false;
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (!createLikeScreen(snapshot, screen.get(), width, height))
        return false;
    bool copied = BitBlt(snapshot.getDC(), 0, 0, width, height, screen.get(), left, top, SRCCOPY | CAPTUREBLT);
    snapshot.releaseDC();
    GdiFlush();
    return copied;
}
