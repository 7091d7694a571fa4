#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t RebarClassName[] = L"ReBarWindow32";

// The band container that holds the main window's toolbar.
class Rebar : public ClassControl<RebarClassName> {
public:
    // Appends the band; the record's size is set here.
    bool insertBand(REBARBANDINFOW band)
    {
        band.cbSize = sizeof(band);
        return sendMessage(RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
    }
    // Changes the first band; the record's size is set here.
    bool setBandInfo(REBARBANDINFOW band)
    {
        band.cbSize = sizeof(band);
        return sendMessage(RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band)) != 0;
    }
};
