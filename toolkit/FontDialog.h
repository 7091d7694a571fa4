#pragma once
#include <windows.h>
#include <commdlg.h>

// The system's font chooser over the public request record and the font description it edits; callers fill
// the owner and run ChooseFontW on the record. It opens at 10 points in "System" unless told otherwise.
class FontDialog {
public:
    FontDialog();
    FontDialog(const FontDialog&) = delete;
    FontDialog& operator=(const FontDialog&) = delete;

    // The size the dialog opens with, at the display's resolution.
    void setPointSize(int points);
    // The dialog offers and takes only sizes from minimum to maximum points.
    void limitSizes(int minimum, int maximum);

    CHOOSEFONTW record{};
    LOGFONTW font{};
};
