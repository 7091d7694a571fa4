#pragma once
#include <memory>
#include "imaging/Dib.h"
#include "toolkit/Control.h"

inline constexpr wchar_t ColorHistogramClassName[] = L"ColorHistogram";

// The program's own "ColorHistogram" control: one channel of a picture's colour histogram, drawn from the
// 256 x 100 drawings that compute prepares once per picture, stretched into the control inside a frame whose
// edges and colour the owner chooses. The state lives in the window property "ColorHistogram"; every
// operation throws Exception 1400 when the window is gone.
class ColorHistogram : public Control {
public:
    // The drawings of one picture: red, green, blue and grey (luminance), each 256 x 100 pixels at 24 bits.
    struct Entry {
        enum Channel { Red = 0, Green = 1, Blue = 2, Grey = 3 };
        static constexpr int Width = 256;
        static constexpr int Height = 100;

        Dib channels[4];
    };

    // Setters answer the previous value (SetHistogramMessage: the previous channel), getters the value.
    static constexpr UINT SetHistogramMessage = WM_USER + 11;   // wParam: channel, lParam: Entry* (not owned)
    static constexpr UINT SetFrameColorMessage = WM_USER + 12;  // wParam: COLORREF
    static constexpr UINT SetFrameEdgesMessage = WM_USER + 13;  // wParam: FrameEdge bits
    static constexpr UINT GetFrameColorMessage = WM_USER + 21;
    static constexpr UINT GetFrameEdgesMessage = WM_USER + 22;

    // The channels of SetHistogramMessage; any other value shows the grey drawing.
    enum ShownChannel { ShowGrey = 0, ShowRed = 1, ShowGreen = 2, ShowBlue = 3 };
    enum FrameEdge { LeftEdge = 1, TopEdge = 2, RightEdge = 4, BottomEdge = 8, AllEdges = 15 };

    // A class already registered counts as registered; another failure throws Exception with the system's
    // error.
    static void registerClass();

    // The drawings of a picture, counted over every pixel (pictures of other depths first become 24-bit
    // copies) and scaled so that the fullest bin of all four channels reaches the top. Each drawing shows the
    // channel's mean as a line of the mean-line colour under bars of the channel's colour (grey in black).
    // An empty picture throws Exception 87, a failure on the way 8 or the system's error.
    static std::unique_ptr<Entry> compute(const Dib& picture, COLORREF background, COLORREF meanLine);

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(ColorHistogramClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(ColorHistogramClassName, window); }

    // The entry stays the caller's and must outlive the control's use of it; null shows nothing.
    void setHistogram(int channel, const Entry* entry);
    void setFrame(COLORREF colour, int edges);
};

// Fills the client area white, draws the picture stretched into it inset by a pixel on every side (nothing
// when null), then the chosen edges of a one-pixel frame. Shared by the histogram and the palette's cells.
void paintFramedPicture(HWND window, HDC dc, COLORREF fill, const Dib* picture, COLORREF frameColour, int edges);
