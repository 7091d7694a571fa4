#include "foundation/Clipboard.h"
#include <windows.h>

bool setClipboardText(const wchar_t* text)
{
    if (!text) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    SIZE_T bytes = (static_cast<SIZE_T>(lstrlenW(text)) + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes);
    if (!block)
        return false;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return false;
    }
    CopyMemory(target, text, bytes);
    GlobalUnlock(block);
    // Once SetClipboardData succeeds the system owns the block.
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, block)) {
        DWORD error = GetLastError();
        GlobalFree(block);
        SetLastError(error);
        return false;
    }
    return true;
}
