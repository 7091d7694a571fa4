#include "mainwindow/MyApp.h"
#include "foundation/Exception.h"

namespace {

constexpr COLORREF White = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF MarkedCell = RGB(0x00, 0xFF, 0xFF);
constexpr COLORREF GridLine = RGB(0x03, 0x03, 0x81);
constexpr COLORREF SwatchColours[MyApp::Resource::SwatchCount] = {
    RGB(0xFF, 0xE0, 0xE0), RGB(0xE0, 0xE0, 0xFF), RGB(0xFF, 0xFF, 0xE0),
    RGB(0xE0, 0xFF, 0xE0), RGB(0xFF, 0xE0, 0xFF), RGB(0xE0, 0xE0, 0xE0),
};
// The pictogram with every cell marked.
constexpr int AllCells = 9;

void check(bool done)
{
    if (!done)
        Exception::throwLastError();
}

// The picture's memory DC for the scope.
class DrawingScope {
public:
    explicit DrawingScope(const Dib& picture) : picture(picture), dc(picture.getDC()) { check(dc != nullptr); }
    DrawingScope(const DrawingScope&) = delete;
    DrawingScope& operator=(const DrawingScope&) = delete;
    ~DrawingScope()
    {
        GdiFlush();
        picture.releaseDC();
    }

    void fill(int left, int top, int right, int bottom, COLORREF colour)
    {
        RECT area{left, top, right, bottom};
        HBRUSH brush = CreateSolidBrush(colour);
        check(brush != nullptr);
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }

    void outline(int left, int top, int right, int bottom, int width, COLORREF colour)
    {
        HPEN pen = CreatePen(PS_SOLID, width, colour);
        check(pen != nullptr);
        HGDIOBJ previousPen = SelectObject(dc, pen);
        HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, left, top, right, bottom);
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
        DeleteObject(pen);
    }

private:
    const Dib& picture;
    HDC dc;
};

// A checkerboard of the colour and white: the top-left and bottom-right cells coloured.
void drawSwatch(Dib& swatch, int cellWidth, int cellHeight, COLORREF colour)
{
    check(swatch.create(2 * cellWidth, 2 * cellHeight, 24, White));
    DrawingScope drawing(swatch);
    drawing.fill(0, 0, cellWidth, cellHeight, colour);
    drawing.fill(cellWidth, cellHeight, 2 * cellWidth, 2 * cellHeight, colour);
}

// A 3 x 3 grid whose cell `marked` (0-8 row by row, AllCells for every one) is cyan.
void drawPictogram(Dib& pictogram, int marked, int cellWidth, int cellHeight)
{
    int lineWidth = cellWidth / 5;
    int lineHeight = cellHeight / 5;
    check(pictogram.create(3 * cellWidth + lineWidth, 3 * cellHeight + lineHeight, 24, White));
    DrawingScope drawing(pictogram);
    for (int cell = 0; cell < 9; ++cell) {
        if (marked != AllCells && marked != cell)
            continue;
        int x = cell % 3 * cellWidth;
        int y = cell / 3 * cellHeight;
        drawing.fill(x, y, x + cellWidth + lineWidth, y + cellHeight + lineHeight, MarkedCell);
    }
    for (int cell = 0; cell < 9; ++cell) {
        int x = cell % 3 * cellWidth;
        int y = cell / 3 * cellHeight;
        drawing.outline(x, y, x + cellWidth + lineWidth, y + cellHeight + lineHeight, lineWidth, GridLine);
    }
}

} // namespace

void MyApp::Resource::build()
{
    HDC screen = GetDC(nullptr);
    check(screen != nullptr);
    int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    build(dpiX, dpiY);
}

void MyApp::Resource::build(int dpiX, int dpiY)
{
    double scaleX = dpiX / 96.0;
    double scaleY = dpiY / 96.0;
    for (int i = 0; i < SwatchCount; ++i)
        drawSwatch(swatches[i], static_cast<int>(scaleX * 8), static_cast<int>(scaleY * 8), SwatchColours[i]);
    for (int k = 0; k < PictogramCount; ++k)
        drawPictogram(pictograms[k], k, static_cast<int>(scaleX * 5), static_cast<int>(scaleY * 5));
}
