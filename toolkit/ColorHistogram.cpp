#include "toolkit/ColorHistogram.h"
#include <algorithm>
#include <cstdint>
#include "toolkit/ControlState.h"
#include "toolkit/ControlClass.h"
#include "toolkit/UserWindow.h"

namespace {

constexpr wchar_t PropertyName[] = L"ColorHistogram";
constexpr int Bins = 256;

using Entry = ColorHistogram::Entry;

struct State {
    virtual ~State() = default;

    HWND window = nullptr;
    int channel = 0;
    COLORREF frameColour = RGB(255, 255, 255);
    int frameEdges = 0;
    const Entry* entry = nullptr;
};

// The pixel counts of each value, per channel in the order of Entry::Channel.
struct Counts {
    std::uint64_t bins[4][Bins] = {};
};

[[noreturn]] void failWithLastError()
{
    DWORD error = GetLastError();
    throw Exception(error == ERROR_NOT_ENOUGH_MEMORY || error == 0 ? ErrorCode::NoMemory : static_cast<int>(error));
}

void count(const Dib& picture, Counts& counts)
{
    const BYTE* bits = picture.getBits();
    int stride = picture.stride();
    for (int y = 0; y < picture.height(); ++y) {
        const BYTE* pixel = bits + static_cast<size_t>(y) * stride;
        for (int x = 0; x < picture.width(); ++x, pixel += 3) {
            int blue = pixel[0];
            int green = pixel[1];
            int red = pixel[2];
            ++counts.bins[Entry::Red][red];
            ++counts.bins[Entry::Green][green];
            ++counts.bins[Entry::Blue][blue];
            ++counts.bins[Entry::Grey][(red * 77 + green * 151 + blue * 28) >> 8];
        }
    }
}

std::uint64_t fullestBin(const Counts& counts)
{
    std::uint64_t fullest = 1;
    for (const auto& channel : counts.bins)
        fullest = std::max(fullest, *std::max_element(std::begin(channel), std::end(channel)));
    return fullest;
}

int meanOf(const std::uint64_t (&bins)[Bins])
{
    std::uint64_t weighted = 0;
    std::uint64_t total = 0;
    for (int i = 0; i < Bins; ++i) {
        weighted += static_cast<std::uint64_t>(i) * bins[i];
        total += bins[i];
    }
    return total ? static_cast<int>(weighted / total) : 0;
}

// Pixels from the top of the drawing (y 0) down to the bottom row (y 99), at column x.
void paintColumn(Dib& drawing, int x, int topY, COLORREF colour)
{
    BYTE* bits = drawing.getBits();
    int stride = drawing.stride();
    // Rows lie bottom-up: y 99 is the first row in memory.
    for (int y = std::max(topY, 0); y < Entry::Height; ++y) {
        BYTE* pixel = bits + static_cast<size_t>(Entry::Height - 1 - y) * stride + static_cast<size_t>(x) * 3;
        pixel[0] = GetBValue(colour);
        pixel[1] = GetGValue(colour);
        pixel[2] = GetRValue(colour);
    }
}

void draw(Dib& drawing, const std::uint64_t (&bins)[Bins], std::uint64_t fullest, COLORREF barColour,
          COLORREF background, COLORREF meanLine)
{
    if (!drawing.create(Entry::Width, Entry::Height, 24, background))
        failWithLastError();
    GdiFlush();
    paintColumn(drawing, meanOf(bins), 0, meanLine);
    for (int i = 0; i < Bins; ++i) {
        // In floating point: an integer quotient would flatten every bin below the fullest one.
        int height = static_cast<int>(static_cast<double>(bins[i]) / static_cast<double>(fullest) * Entry::Height);
        if (height > 0)
            paintColumn(drawing, i, Entry::Height - height, barColour);
    }
}

State* stateOf(HWND window)
{
    return controlState<State>(window, PropertyName);
}

LRESULT paint(HWND window, const State& state)
{
    PAINTSTRUCT paintStruct;
    HDC dc = BeginPaint(window, &paintStruct);
    const Dib* picture = nullptr;
    if (state.entry) {
        int index = Entry::Grey;
        if (state.channel == ColorHistogram::ShowRed)
            index = Entry::Red;
        else if (state.channel == ColorHistogram::ShowGreen)
            index = Entry::Green;
        else if (state.channel == ColorHistogram::ShowBlue)
            index = Entry::Blue;
        picture = &state.entry->channels[index];
    }
    paintFramedPicture(window, dc, RGB(255, 255, 255), picture, state.frameColour, state.frameEdges);
    EndPaint(window, &paintStruct);
    return 0;
}

LRESULT exchange(HWND window, int& field, WPARAM value)
{
    int previous = field;
    field = static_cast<int>(value);
    InvalidateRect(window, nullptr, FALSE);
    return previous;
}

LRESULT CALLBACK histogramProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return createControlState<State>(window, PropertyName);
    State* state = stateOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_DESTROY:
        destroyControlState<State>(window, PropertyName);
        return 0;
    case WM_PAINT:
        return paint(window, *state);
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case ColorHistogram::SetHistogramMessage:
        state->entry = reinterpret_cast<const Entry*>(lParam);
        return exchange(window, state->channel, wParam);
    case ColorHistogram::SetFrameColorMessage: {
        COLORREF previous = state->frameColour;
        state->frameColour = static_cast<COLORREF>(wParam);
        InvalidateRect(window, nullptr, FALSE);
        return previous;
    }
    case ColorHistogram::SetFrameEdgesMessage:
        return exchange(window, state->frameEdges, wParam);
    case ColorHistogram::GetFrameColorMessage:
        return state->frameColour;
    case ColorHistogram::GetFrameEdgesMessage:
        return state->frameEdges;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void ColorHistogram::registerClass()
{
    registerControlClass(ColorHistogramClassName, histogramProcedure, CS_DBLCLKS,
                         static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
}

std::unique_ptr<ColorHistogram::Entry> ColorHistogram::compute(const Dib& picture, COLORREF background,
                                                               COLORREF meanLine)
{
    if (picture.isEmpty() || !picture.getBitmap())
        throw Exception(ErrorCode::InvalidArgument);
    if (picture.bitCount() != 24) {
        Dib deep(picture);
        if (deep.isEmpty() || !deep.toBitsPerPixel24())
            failWithLastError();
        return compute(deep, background, meanLine);
    }
    GdiFlush();
    auto counts = std::make_unique<Counts>();
    count(picture, *counts);
    std::uint64_t fullest = fullestBin(*counts);
    auto entry = std::make_unique<Entry>();
    static constexpr COLORREF barColours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0, 0, 0)};
    for (int channel = 0; channel < 4; ++channel)
        draw(entry->channels[channel], counts->bins[channel], fullest, barColours[channel], background, meanLine);
    return entry;
}

void ColorHistogram::setHistogram(int channel, const Entry* entry)
{
    liveHandle();
    sendMessage(SetHistogramMessage, static_cast<WPARAM>(channel), reinterpret_cast<LPARAM>(entry));
}

void ColorHistogram::setFrame(COLORREF colour, int edges)
{
    liveHandle();
    sendMessage(SetFrameColorMessage, colour);
    sendMessage(SetFrameEdgesMessage, static_cast<WPARAM>(edges));
}

void paintFramedPicture(HWND window, HDC dc, COLORREF fill, const Dib* picture, COLORREF frameColour, int edges)
{
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (brush)
        DeleteObject(brush);
    if (picture && !picture->isEmpty() && client.right > 2 && client.bottom > 2)
        picture->drawStretched(dc, 1, 1, client.right - 2, client.bottom - 2);
    if (!edges)
        return;
    HPEN pen = CreatePen(PS_SOLID, 1, frameColour);
    if (!pen)
        return;
    HGDIOBJ previous = SelectObject(dc, pen);
    int right = client.right - 1;
    int bottom = client.bottom - 1;
    // A line leaves out its end point: each edge runs one pixel further, so that it covers both corners.
    auto line = [dc](int x1, int y1, int x2, int y2) {
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    };
    if (edges & ColorHistogram::LeftEdge)
        line(0, 0, 0, bottom + 1);
    if (edges & ColorHistogram::TopEdge)
        line(0, 0, right + 1, 0);
    if (edges & ColorHistogram::RightEdge)
        line(right, 0, right, bottom + 1);
    if (edges & ColorHistogram::BottomEdge)
        line(0, bottom, right + 1, bottom);
    SelectObject(dc, previous);
    DeleteObject(pen);
}
