#pragma once
#include <windows.h>
#include <commdlg.h>

// The system's colour chooser. Callers fill the owner, the starting colour (rgbResult) and the flags of the
// public request record; the 16 custom colours start white.
class ColorDialog {
public:
    ColorDialog();
    ColorDialog(const ColorDialog&) = delete;
    ColorDialog& operator=(const ColorDialog&) = delete;

    // True when the user chose; the colour is then in rgbResult.
    bool show() { return ChooseColorW(&record) != FALSE; }

    CHOOSECOLORW record{};
    COLORREF customColors[16];
};
