#pragma once
#include "toolkit/Control.h"
#include "toolkit/EventHandler.h"

inline constexpr wchar_t ColorPaletteClassName[] = L"ColorPalette";
inline constexpr wchar_t ColorPanelClassName[] = L"ColorPanel";

// The program's own "ColorPalette" control: up to 256 palette colours as a 16 x 16 grid of "ColorPanel"
// cells (children 101 to 356). Cells beyond the colours in use are black and disabled. The user selects a
// colour with the mouse or the arrow keys; the selected cell gets a white frame. After every selection the
// palette sends itself SelectedMessage, from which a subclassed wrapper raises its event. The state lives in
// the window property "ColorPalette"; every operation throws Exception 1400 when the window is gone.
class ColorPalette : public Control {
public:
    static constexpr int CellCount = 256;
    static constexpr int Columns = 16;
    static constexpr int FirstCellId = 101;

    // wParam: count, lParam: PALETTEENTRY array; clears the selection and disables every cell first, then
    // takes 1 to 256 colours. Answers the count in use.
    static constexpr UINT SetColorsMessage = WM_USER + 11;
    // wParam: index; an index beyond the colours clears the selection. Answers the selected index.
    static constexpr UINT SelectMessage = WM_USER + 12;
    // wParam: index, lParam: COLORREF. Answers the index, -1 for an index beyond the colours.
    static constexpr UINT SetColorMessage = WM_USER + 13;
    // wParam: MAKEWPARAM(width, height) of every cell, each at least 4.
    static constexpr UINT SetCellSizeMessage = WM_USER + 14;
    static constexpr UINT GetSelectionMessage = WM_USER + 21;
    static constexpr UINT GetCountMessage = WM_USER + 22;
    // wParam: index; answers the colour, -1 for an index beyond the colours.
    static constexpr UINT GetColorMessage = WM_USER + 23;
    // Sent by the palette to itself: wParam the selected index (-1 when cleared).
    static constexpr UINT SelectedMessage = WM_USER + 101;

    class ColorPaletteEventArgs : public EventArgs {
    public:
        explicit ColorPaletteEventArgs(int index) : index(index) {}
        // -1 when the selection was cleared.
        int index;
    };

    // One cell: a fill colour inside the chosen edges of a one-pixel frame.
    class PalettePanel : public Control {
    public:
        static constexpr UINT SetFillColorMessage = WM_USER + 11;
        static constexpr UINT SetFrameColorMessage = WM_USER + 12;
        static constexpr UINT SetFrameEdgesMessage = WM_USER + 13;
        static constexpr UINT GetFillColorMessage = WM_USER + 21;
        static constexpr UINT GetFrameColorMessage = WM_USER + 22;
        static constexpr UINT GetFrameEdgesMessage = WM_USER + 23;

        void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
        {
            createControl(ColorPanelClassName, parent, id, rect, exStyle, style, true);
        }
        HWND attach(HWND window) override { return attachControl(ColorPanelClassName, window); }

        void setFillColor(COLORREF colour) { sendMessage(SetFillColorMessage, colour); }
        void setFrameColor(COLORREF colour) { sendMessage(SetFrameColorMessage, colour); }
        void setFrameEdges(int edges) { sendMessage(SetFrameEdgesMessage, static_cast<WPARAM>(edges)); }

        // Focus selects the cell; the keys and clicks go on to the palette.
        bool onSetFocus(HWND previous) override;
        LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    // Registers "ColorPanel", then "ColorPalette". A class already registered counts as registered; another
    // failure throws Exception with the system's error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(ColorPaletteClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(ColorPaletteClassName, window); }

    // 1 to 256 colours. A count of 0 empties the grid and then throws Exception 87, as does any other count
    // or a null array (which change nothing).
    void setColors(const PALETTEENTRY* entries, int count);
    void setCellSize(int width, int height);
    // An index beyond the colours throws Exception 87.
    COLORREF getColor(int index) const;
    int getSelection() const { return static_cast<int>(sendMessage(GetSelectionMessage)); }
    void select(int index) { sendMessage(SelectMessage, static_cast<WPARAM>(index)); }

    // Keeps a copy of the handler; out of memory throws Exception 8.
    void setEvent(const EventHandler<ColorPaletteEventArgs>& handler) { selectionHandler = handler; }
    // Nothing without a handler; null arguments throw Exception 87.
    virtual void raiseEvent(ColorPaletteEventArgs* args) { selectionHandler.raiseEvent(this, args); }

    // Once subclassed: raises the event for SelectedMessage.
    LRESULT handleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    EventHandler<ColorPaletteEventArgs> selectionHandler;
};
