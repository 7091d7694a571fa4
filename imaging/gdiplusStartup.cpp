#include "imaging/gdiplusStartup.h"
#include <windows.h>
#include <gdiplus.h>
#include "foundation/CriticalSection.h"

namespace {

// Made by static initialisation, before the entry point runs.
CriticalSection gdiplusLock;
ULONG_PTR gdiplusToken = 0;
int startCount = 0;

} // namespace

bool gdiplusStartup()
{
    CriticalSectionLock lock(gdiplusLock);
    if (startCount == 0) {
        Gdiplus::GdiplusStartupInput input; // version 1, no debug callback, background thread and codecs on
        if (Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr) != Gdiplus::Ok) {
            gdiplusToken = 0;
            return false;
        }
    }
    ++startCount;
    return true;
}

void gdiplusShutdown()
{
    CriticalSectionLock lock(gdiplusLock);
    if (startCount == 0)
        return;
    if (--startCount == 0) {
        Gdiplus::GdiplusShutdown(gdiplusToken);
        gdiplusToken = 0;
    }
}

int gdiplusStartCount()
{
    CriticalSectionLock lock(gdiplusLock);
    return startCount;
}
