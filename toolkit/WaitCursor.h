#pragma once
#include <windows.h>

// Shows the system's wait cursor while it lives, then the cursor that was shown before. Long operations of
// the user-interface thread hold one on the stack.
class WaitCursor {
public:
    WaitCursor() : previous(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { SetCursor(previous); }

private:
    HCURSOR previous;
};
