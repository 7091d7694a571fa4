#pragma once
#include <windows.h>
#include "toolkit/Brush.h"
#include "toolkit/ColorDialog.h"

// A colour option as a page edits it: the working colour, the brush that paints its swatch, and the colour
// dialog, which opens at the working colour with its own 16 custom colours (white at first) for as long as
// the page's window lives. The settings record gets the colour only when the page applies.
class ColorChoice {
public:
    // Takes the colour as the working one, makes its brush and seeds the dialog.
    void reset(HWND owner, COLORREF colour);
    // Opens the dialog; true when the user chose a colour, which is then the working one with a new brush.
    // A cancelled dialog changes nothing.
    bool choose();
    COLORREF colour() const { return working; }
    HBRUSH brush() const { return swatch.handle(); }

private:
    COLORREF working = 0;
    SolidBrush swatch;
    ColorDialog dialog;
};
