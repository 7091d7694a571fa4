#pragma once
#include "toolkit/Control.h"

inline constexpr wchar_t SplitClassName[] = L"Split";

// A container of two panes side by side, or one above the other, with a 2-pixel bar between them that the
// user drags. The panes are Control objects of the caller that the splitter makes as its children 101 and
// 102. Every operation throws Exception 1400 when the splitter window is gone.
class Split : public Control {
public:
    // Panes above each other, with a horizontal bar; any other orientation puts them side by side.
    static constexpr unsigned Stacked = 1;
    static constexpr int FirstPaneId = 101;
    static constexpr int SecondPaneId = 102;
    // Pixels between the panes.
    static constexpr int BarThickness = 2;
    // WM_USER+101 answers the controller.
    static constexpr UINT GetControllerMessage = WM_USER + 101;

    // The splitter's state, one per window in its property "Split".
    struct Controller {
        virtual ~Controller() = default;

        HWND window = nullptr;
        unsigned orientation = 0;
        // While dragging, an inverted bar follows the mouse and the panes move only at the release; without
        // it the panes follow the mouse.
        bool ghostDrag = false;
        // In display order; not owned.
        Control* first = nullptr;
        Control* second = nullptr;
        int dragPosition = 0;
        int grabOffset = 0;
        bool swapped = false;
        bool dragging = false;
    };

    // Registers the window class with the drag brush and the resize cursors shared by every splitter. A
    // brush that cannot be made throws Exception 8, a failed registration the system's error.
    static void registerClass();

    void create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style) override
    {
        createControl(SplitClassName, parent, id, rect, exStyle, style, true);
    }
    HWND attach(HWND window) override { return attachControl(SplitClassName, window); }

    Controller& controller() const;
    // Destroys the windows of the panes held and makes the new panes' windows: the first over the whole
    // client area, the second bordered; then gives the first 200 pixels.
    void setPanes(Control* first, Control* second);
    // Gives the first pane that many pixels, within the limits of the layout.
    void setSplitPos(int size);
    // In display order.
    Control* firstPane() const { return controller().first; }
    Control* secondPane() const { return controller().second; }
    // Exchanges the panes' places; the pane that comes first keeps the size the first place had.
    void setSwapped(bool swapped);
    bool isSwapped() const { return controller().swapped; }
    void setOrientation(unsigned orientation);
    unsigned getOrientation() const { return controller().orientation; }
};
