#pragma once
#include <windows.h>
#include "imaging/ICanceller.h"

// Stops a long operation of the user-interface thread when the user presses Escape: once the key has been
// seen down, every later question answers true.
class EscapeKeyCanceller : public ICanceller {
public:
    bool isCancelled() override
    {
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000)
            cancelled = true;
        return cancelled;
    }

private:
    bool cancelled = false;
};
