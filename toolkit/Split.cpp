#include "toolkit/Split.h"
#include <algorithm>
#include "toolkit/Brush.h"
#include "toolkit/ControlState.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr wchar_t PropertyName[] = L"Split";
constexpr int BarThickness = Split::BarThickness;
// The least a pane keeps of the extent while both show.
constexpr int PaneMargin = 30;
constexpr int InitialFirstPane = 200;

using Controller = Split::Controller;

// What every splitter of the process shares: the checkerboard of the bar dragged in ghost mode and the two
// resize cursors (the system's, never destroyed).
class DragResources {
public:
    DragResources() = default;
    DragResources(const DragResources&) = delete;
    DragResources& operator=(const DragResources&) = delete;
    ~DragResources()
    {
        brush.release();
        if (pattern)
            DeleteObject(pattern);
    }

    bool make()
    {
        if (brush.handle())
            return true;
        // Rows are word-aligned: each of the 8 rows has one byte of pixels and one of padding.
        static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
        if (!pattern)
            pattern = CreateBitmap(8, 8, 1, 1, rows);
        acrossCursor = LoadCursorW(nullptr, IDC_SIZEWE);
        stackedCursor = LoadCursorW(nullptr, IDC_SIZENS);
        return pattern && brush.create(pattern);
    }

    HBITMAP pattern = nullptr;
    PatternBrush brush;
    HCURSOR acrossCursor = nullptr;
    HCURSOR stackedCursor = nullptr;
};

DragResources& dragResources()
{
    static DragResources resources;
    return resources;
}

Controller* controllerOf(HWND window)
{
    return controlState<Controller>(window, PropertyName);
}

bool isStacked(const Controller& state)
{
    return state.orientation == Split::Stacked;
}

bool isShown(const Control* pane)
{
    HWND window = pane ? pane->getHandle() : nullptr;
    return window && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE);
}

RECT clientRect(const Controller& state)
{
    RECT client{};
    GetClientRect(state.window, &client);
    return client;
}

// The client area's length in the direction the bar moves.
int extentOf(const Controller& state)
{
    RECT client = clientRect(state);
    return isStacked(state) ? client.bottom : client.right;
}

// The coordinate of a mouse message in the direction the bar moves.
int coordinateOf(const Controller& state, LPARAM lParam)
{
    Point point = pointFromLParam(lParam);
    return isStacked(state) ? point.y : point.x;
}

// The lower limit wins when a small window makes the limits cross.
int limited(int value, int low, int high)
{
    return std::max(low, std::min(value, high));
}

// The length of the first pane in the direction the bar moves; 0 without one.
int firstPaneSize(const Controller& state)
{
    HWND pane = state.first ? state.first->getHandle() : nullptr;
    RECT bounds;
    if (!pane || !GetWindowRect(pane, &bounds))
        return 0;
    return isStacked(state) ? bounds.bottom - bounds.top : bounds.right - bounds.left;
}

void place(const Control* pane, int x, int y, int width, int height)
{
    SetWindowPos(pane->getHandle(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void layout(const Controller& state, int firstSize)
{
    RECT client = clientRect(state);
    bool firstShown = isShown(state.first);
    bool secondShown = isShown(state.second);
    if (firstShown && secondShown) {
        int extent = isStacked(state) ? client.bottom : client.right;
        int size = std::max(std::min(extent - PaneMargin, firstSize), PaneMargin);
        // A window smaller than both margins leaves the second pane empty rather than inside out.
        int rest = std::max(extent - (size + BarThickness), 0);
        if (isStacked(state)) {
            place(state.first, 0, 0, client.right, size);
            place(state.second, 0, size + BarThickness, client.right, rest);
        } else {
            place(state.first, 0, 0, size, client.bottom);
            place(state.second, size + BarThickness, 0, rest, client.bottom);
        }
    } else if (firstShown) {
        place(state.first, 0, 0, client.right, client.bottom);
    } else if (secondShown) {
        place(state.second, 0, 0, client.right, client.bottom);
    }
}

// Inverts the bar's pixels at that offset; drawing it twice in one place erases it. Drawn over the panes,
// which the bar crosses while it moves.
void invertBar(const Controller& state, int at)
{
    RECT client = clientRect(state);
    HDC dc = GetDCEx(state.window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (!dc)
        return;
    HGDIOBJ previous = SelectObject(dc, dragResources().brush.handle());
    if (isStacked(state))
        PatBlt(dc, 0, at, client.right, BarThickness, PATINVERT);
    else
        PatBlt(dc, at, 0, BarThickness, client.bottom, PATINVERT);
    SelectObject(dc, previous);
    ReleaseDC(state.window, dc);
}

void paintNow(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void beginDrag(Controller& state, LPARAM lParam)
{
    if (!isShown(state.first) || !isShown(state.second))
        return;
    paintNow(state.window);
    SetCapture(state.window);
    state.dragging = true;
    state.dragPosition = limited(coordinateOf(state, lParam), PaneMargin, extentOf(state) - PaneMargin);
    state.grabOffset = state.dragPosition - firstPaneSize(state);
    if (state.ghostDrag)
        invertBar(state, state.dragPosition - state.grabOffset);
}

void continueDrag(Controller& state, LPARAM lParam)
{
    if (state.ghostDrag)
        invertBar(state, state.dragPosition - state.grabOffset);
    state.dragPosition = limited(coordinateOf(state, lParam), state.grabOffset + PaneMargin,
                                 extentOf(state) + state.grabOffset - PaneMargin - BarThickness);
    if (state.ghostDrag) {
        invertBar(state, state.dragPosition - state.grabOffset);
        return;
    }
    layout(state, state.dragPosition - state.grabOffset);
    paintNow(state.window);
}

// The button's release places the panes; every other way out of a drag leaves them where they were.
void endDrag(Controller& state, bool released)
{
    state.dragging = false;
    if (state.ghostDrag)
        invertBar(state, state.dragPosition - state.grabOffset);
    // Another window may have taken the capture already (WM_CAPTURECHANGED): that one is not ours to release.
    if (GetCapture() == state.window)
        ReleaseCapture();
    if (state.ghostDrag && released)
        layout(state, state.dragPosition - state.grabOffset);
}

// Only the bar between the panes is painted with the class's background.
void excludePanes(const Controller& state, HDC dc)
{
    for (const Control* pane : {state.first, state.second}) {
        if (!isShown(pane))
            continue;
        RECT bounds;
        GetWindowRect(pane->getHandle(), &bounds);
        MapWindowPoints(nullptr, state.window, reinterpret_cast<POINT*>(&bounds), 2);
        ExcludeClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
}

void enableChild(HWND window, int id, bool enable)
{
    if (HWND child = GetDlgItem(window, id))
        EnableWindow(child, enable);
}

bool isDragEnd(UINT message)
{
    return message == WM_LBUTTONUP || message == WM_RBUTTONDOWN || message == WM_CANCELMODE ||
           message == WM_CAPTURECHANGED;
}

LRESULT CALLBACK splitProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return createControlState<Controller>(window, PropertyName);
    Controller* state = controllerOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        destroyControlState<Controller>(window, PropertyName);
        return 0;
    case WM_SIZE:
        layout(*state, firstPaneSize(*state));
        return 0;
    case WM_ENABLE:
        enableChild(window, Split::FirstPaneId, wParam != 0);
        enableChild(window, Split::SecondPaneId, wParam != 0);
        break;
    case WM_ERASEBKGND:
        excludePanes(*state, reinterpret_cast<HDC>(wParam));
        break;
    case WM_SETCURSOR:
        // Over a pane the pane's own cursor stays.
        if (reinterpret_cast<HWND>(wParam) != window)
            break;
        SetCursor(isStacked(*state) ? dragResources().stackedCursor : dragResources().acrossCursor);
        return 0;
    case WM_LBUTTONDOWN:
        beginDrag(*state, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (state->dragging && GetCapture() == window)
            continueDrag(*state, lParam);
        return 0;
    case Split::GetControllerMessage:
        return reinterpret_cast<LRESULT>(state);
    default:
        if (isDragEnd(message) && state->dragging) {
            endDrag(*state, message == WM_LBUTTONUP);
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void Split::registerClass()
{
    if (!dragResources().make())
        throw Exception(ErrorCode::NoMemory);
    registerControlClass(SplitClassName, splitProcedure, 0, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
}

Split::Controller& Split::controller() const
{
    auto* state = reinterpret_cast<Controller*>(sendMessage(GetControllerMessage));
    if (!state)
        throw Exception(ErrorCode::WindowGone);
    return *state;
}

void Split::setPanes(Control* first, Control* second)
{
    Controller& state = controller();
    if (!first || !second)
        Exception::throwInvalidArgument();
    for (Control* pane : {state.first, state.second})
        if (pane)
            pane->destroy();
    state.first = nullptr;
    state.second = nullptr;
    state.dragPosition = 0;
    state.grabOffset = 0;
    state.swapped = false;
    Rect client = getClientRect();
    first->create(hwnd, FirstPaneId, Rect(0, 0, client.right, client.bottom), 0, 0);
    state.first = first;
    second->create(hwnd, SecondPaneId, Rect(), 0, WS_BORDER);
    state.second = second;
    layout(state, InitialFirstPane);
}

void Split::setSplitPos(int size)
{
    layout(controller(), size);
}

void Split::setSwapped(bool swapped)
{
    Controller& state = controller();
    if (swapped == state.swapped)
        return;
    // The place's size, as the layout gives it: the bordered pane's client area is smaller than its place,
    // and measuring that would shrink the first place with every swap.
    int size = firstPaneSize(state);
    std::swap(state.first, state.second);
    state.swapped = swapped;
    layout(state, size);
}

void Split::setOrientation(unsigned orientation)
{
    Controller& state = controller();
    if (orientation == state.orientation)
        return;
    state.orientation = orientation;
    layout(state, InitialFirstPane);
}
