#include "toolkit/ColorPalette.h"
#include <algorithm>
#include "toolkit/ColorHistogram.h"
#include "toolkit/ControlState.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr wchar_t PaletteProperty[] = L"ColorPalette";
constexpr wchar_t PanelProperty[] = L"ColorPanel";
constexpr int InitialCellSize = 16;
constexpr int SmallestCellSize = 4;
// Unselected cells show the left and top edges only, so that the grid's lines are one pixel wide.
constexpr int GridEdges = ColorHistogram::LeftEdge | ColorHistogram::TopEdge;
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

using Panel = ColorPalette::PalettePanel;

struct PanelState {
    virtual ~PanelState() = default;

    HWND window = nullptr;
    COLORREF fill = White;
    COLORREF frame = White;
    int edges = 0;
};

struct PaletteState {
    virtual ~PaletteState() = default;

    HWND window = nullptr;
    int count = 0;
    Panel cells[ColorPalette::CellCount];
    int selected = -1;
    int cellWidth = InitialCellSize;
    int cellHeight = InitialCellSize;
};

LRESULT exchangeColour(HWND window, COLORREF& field, WPARAM value)
{
    COLORREF previous = field;
    field = static_cast<COLORREF>(value);
    InvalidateRect(window, nullptr, FALSE);
    return previous;
}

LRESULT CALLBACK panelProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return createControlState<PanelState>(window, PanelProperty);
    auto* state = controlState<PanelState>(window, PanelProperty);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        destroyControlState<PanelState>(window, PanelProperty);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paintStruct;
        HDC dc = BeginPaint(window, &paintStruct);
        paintFramedPicture(window, dc, state->fill, nullptr, state->frame, state->edges);
        EndPaint(window, &paintStruct);
        return 0;
    }
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case Panel::SetFillColorMessage:
        return exchangeColour(window, state->fill, wParam);
    case Panel::SetFrameColorMessage:
        return exchangeColour(window, state->frame, wParam);
    case Panel::SetFrameEdgesMessage: {
        int previous = state->edges;
        state->edges = static_cast<int>(wParam);
        InvalidateRect(window, nullptr, FALSE);
        return previous;
    }
    case Panel::GetFillColorMessage:
        return state->fill;
    case Panel::GetFrameColorMessage:
        return state->frame;
    case Panel::GetFrameEdgesMessage:
        return state->edges;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void makeCells(PaletteState& state)
{
    for (int k = 0; k < ColorPalette::CellCount; ++k) {
        Panel& cell = state.cells[k];
        int row = k / ColorPalette::Columns;
        int column = k % ColorPalette::Columns;
        cell.create(state.window, ColorPalette::FirstCellId + k,
                    Rect(column * InitialCellSize, row * InitialCellSize, InitialCellSize, InitialCellSize), 0, 0);
        cell.subclass();
        cell.setFrameEdges(GridEdges);
        cell.setFrameColor(Black);
        cell.setFillColor(Black);
        cell.enable(false);
    }
}

LRESULT createPalette(HWND window)
{
    if (createControlState<PaletteState>(window, PaletteProperty) != 0)
        return -1;
    auto* state = controlState<PaletteState>(window, PaletteProperty);
    try {
        makeCells(*state);
    } catch (const Exception&) {
        for (Panel& cell : state->cells)
            cell.destroy();
        destroyControlState<PaletteState>(window, PaletteProperty);
        return -1;
    }
    return 0;
}

void clearSelection(PaletteState& state)
{
    if (state.selected < 0)
        return;
    Panel& cell = state.cells[state.selected];
    cell.setFrameEdges(GridEdges);
    cell.setFrameColor(Black);
    state.selected = -1;
}

LRESULT select(PaletteState& state, int index)
{
    clearSelection(state);
    if (index >= 0 && index < state.count) {
        Panel& cell = state.cells[index];
        if (GetFocus() == cell.getHandle()) {
            cell.setFrameEdges(ColorHistogram::AllEdges);
            cell.setFrameColor(White);
            state.selected = index;
        } else {
            // The cell's focus message comes back here and selects it.
            cell.setFocus();
        }
    }
    SendMessageW(state.window, ColorPalette::SelectedMessage, static_cast<WPARAM>(state.selected), 0);
    return state.selected;
}

LRESULT setColors(PaletteState& state, WPARAM count, const PALETTEENTRY* entries)
{
    clearSelection(state);
    for (Panel& cell : state.cells) {
        cell.setFillColor(Black);
        cell.enable(false);
    }
    state.count = 0;
    if (count < 1 || count > ColorPalette::CellCount || !entries)
        return 0;
    for (WPARAM k = 0; k < count; ++k) {
        state.cells[k].setFillColor(RGB(entries[k].peRed, entries[k].peGreen, entries[k].peBlue));
        state.cells[k].enable(true);
    }
    state.count = static_cast<int>(count);
    return state.count;
}

LRESULT setCellSize(PaletteState& state, WPARAM size)
{
    state.cellWidth = std::max<int>(LOWORD(size), SmallestCellSize);
    state.cellHeight = std::max<int>(HIWORD(size), SmallestCellSize);
    for (int k = 0; k < ColorPalette::CellCount; ++k) {
        int row = k / ColorPalette::Columns;
        int column = k % ColorPalette::Columns;
        state.cells[k].setBounds(column * state.cellWidth, row * state.cellHeight, state.cellWidth, state.cellHeight);
    }
    return 0;
}

// The arrows move within the grid: left and right stop at the row's ends.
void moveSelection(PaletteState& state, WPARAM key)
{
    int index = state.selected;
    int next = index;
    switch (key) {
    case VK_LEFT:
        if (index % ColorPalette::Columns != 0)
            next = index - 1;
        break;
    case VK_RIGHT:
        if ((index + 1) % ColorPalette::Columns != 0)
            next = index + 1;
        break;
    case VK_UP:
        next = index - ColorPalette::Columns;
        break;
    case VK_DOWN:
        next = index + ColorPalette::Columns;
        break;
    default:
        return;
    }
    if (next != index && next >= 0 && next < ColorPalette::CellCount)
        select(state, next);
}

LRESULT CALLBACK paletteProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return createPalette(window);
    auto* state = controlState<PaletteState>(window, PaletteProperty);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        destroyControlState<PaletteState>(window, PaletteProperty);
        return 0;
    case WM_SETFOCUS:
        SetFocus(state->cells[0].getHandle());
        return 0;
    case WM_KEYDOWN:
        moveSelection(*state, wParam);
        return 0;
    case ColorPalette::SetColorsMessage:
        return setColors(*state, wParam, reinterpret_cast<const PALETTEENTRY*>(lParam));
    case ColorPalette::SelectMessage:
        return select(*state, static_cast<int>(wParam));
    case ColorPalette::SetColorMessage: {
        if (wParam >= static_cast<WPARAM>(state->count))
            return -1;
        state->cells[wParam].setFillColor(static_cast<COLORREF>(lParam));
        return static_cast<LRESULT>(wParam);
    }
    case ColorPalette::SetCellSizeMessage:
        return setCellSize(*state, wParam);
    case ColorPalette::GetSelectionMessage:
        return state->selected;
    case ColorPalette::GetCountMessage:
        return state->count;
    case ColorPalette::GetColorMessage:
        if (wParam >= static_cast<WPARAM>(state->count))
            return -1;
        return state->cells[wParam].sendMessage(Panel::GetFillColorMessage);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void ColorPalette::registerClass()
{
    registerControlClass(ColorPanelClassName, panelProcedure, CS_DBLCLKS,
                         static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    registerControlClass(ColorPaletteClassName, paletteProcedure, CS_DBLCLKS,
                         static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

bool ColorPalette::PalettePanel::onSetFocus(HWND)
{
    SendMessageW(GetParent(hwnd), SelectMessage, static_cast<WPARAM>(GetDlgCtrlID(hwnd) - FirstCellId), 0);
    return false;
}

LRESULT ColorPalette::PalettePanel::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND palette = GetParent(window);
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
        return SendMessageW(palette, message, wParam, lParam);
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return SendMessageW(palette, message, wParam, lParam);
    default:
        break;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

void ColorPalette::setColors(const PALETTEENTRY* entries, int count)
{
    liveHandle();
    if (count == 0) {
        sendMessage(SetColorsMessage);
        throw Exception(ErrorCode::InvalidArgument);
    }
    if (count < 1 || count > CellCount || !entries)
        throw Exception(ErrorCode::InvalidArgument);
    sendMessage(SetColorsMessage, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(entries));
}

void ColorPalette::setCellSize(int width, int height)
{
    liveHandle();
    sendMessage(SetCellSizeMessage, MAKEWPARAM(width, height));
}

COLORREF ColorPalette::getColor(int index) const
{
    int count = static_cast<int>(sendMessage(GetCountMessage));
    if (index < 0 || index >= count)
        throw Exception(ErrorCode::InvalidArgument);
    return static_cast<COLORREF>(sendMessage(GetColorMessage, static_cast<WPARAM>(index)));
}

LRESULT ColorPalette::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SelectedMessage) {
        ColorPaletteEventArgs args(static_cast<int>(wParam));
        try {
            raiseEvent(&args);
        } catch (const Exception&) {
            // The owner's failure is no reason to keep the message from the control.
        }
    }
    return Control::handleMessage(window, message, wParam, lParam);
}
