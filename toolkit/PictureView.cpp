#include "toolkit/PictureView.h"
#include <algorithm>
#include <memory>
#include <new>
#include "imaging/Dib.h"
#include "imaging/IImage.h"
#include "toolkit/ScrollInfo.h"

namespace {

constexpr wchar_t ClassName[] = L"PictureView";
constexpr COLORREF WindowColour = static_cast<COLORREF>(-1);
constexpr int WheelNotch = 120;

bool holdsPicture(const std::unique_ptr<IImage>& image)
{
    return image && !image->isEmpty();
}

// Where a picture goes in the fitting modes: scaled to the client width, or to the client height when that
// would make it too high; the ratios in floating point, since integer ratios of a picture larger than the
// client area would be 0.
Rect fittedPlace(int mode, int pictureWidth, int pictureHeight, int clientWidth, int clientHeight)
{
    int width = clientWidth;
    int height = static_cast<int>(pictureHeight * (static_cast<double>(clientWidth) / pictureWidth));
    if (height > clientHeight) {
        height = clientHeight;
        width = static_cast<int>(pictureWidth * (static_cast<double>(clientHeight) / pictureHeight));
    }
    if (mode == PictureView::FitCentredNoEnlarge && pictureWidth <= clientWidth && pictureHeight <= clientHeight) {
        width = pictureWidth;
        height = pictureHeight;
    }
    int x = 0;
    int y = 0;
    if (mode != PictureView::FitTopLeft) {
        x = (clientWidth - width) / 2;
        y = (clientHeight - height) / 2;
    }
    return Rect(x, y, x + width, y + height);
}

} // namespace

struct PictureView::ControlProperties {
    virtual ~ControlProperties() = default;

    std::unique_ptr<IImage> picture;
    std::unique_ptr<IImage> background;
    int mode = ActualSize;
    // Applying the scroll bars changes the client size, which must not start another recalculation.
    bool busy = false;
    ScrollInfo vertical{SB_VERT};
    ScrollInfo horizontal{SB_HORZ};
    // Screen coordinates of the last point of a drag.
    Point dragPoint;
    COLORREF backColor = WindowColour;
};

namespace {

using Properties = PictureView::ControlProperties;

Properties* propertiesOf(HWND hwnd)
{
    return static_cast<Properties*>(GetPropW(hwnd, ClassName));
}

// One message of a window that has its record.
class ViewMessage : public MessageCracker {
public:
    ViewMessage(HWND hwnd, Properties& state) : hwnd(hwnd), state(state) {}

    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool onSize(UINT, const Size&) override { return recalculate(), true; }
    bool onPaint() override { return paint(), true; }
    bool onScroll(int bar, UINT code, HWND) override
    {
        return scrolled(bar == SB_HORZ ? state.horizontal : state.vertical, code), true;
    }
    bool onKeyDown(UINT key, UINT, UINT) override;
    bool onMouseWheel(int delta, UINT, const Point&) override;
    bool onButtonDown(MouseButton button, const Point& client, UINT) override;
    bool onMouseMove(const Point& client, UINT) override { return drag(client), true; }
    bool onButtonUp(MouseButton button, const Point&, UINT) override;

private:
    void recalculate();
    void barsForActualSize();
    void paint();
    void drawContents(HDC dc, int width, int height);
    void drawBackground(HDC dc, int width, int height);
    void drawPicture(HDC dc, int width, int height);
    void scrolled(ScrollInfo& bar, WPARAM code);
    void startDrag(const Point& client);
    void drag(const Point& client);
    void endDrag();
    void redraw() { InvalidateRect(hwnd, nullptr, FALSE); }

    HWND hwnd;
    Properties& state;
};

LRESULT ViewMessage::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (crack(message, wParam, lParam, result))
        return result;
    switch (message) {
    case PictureView::SetImageMessage:
        state.picture.reset(reinterpret_cast<IImage*>(lParam));
        recalculate();
        return 0;
    case PictureView::SetBackgroundMessage:
        state.background.reset(reinterpret_cast<IImage*>(lParam));
        recalculate();
        return 0;
    case PictureView::SetBackColorMessage:
        state.backColor = static_cast<COLORREF>(wParam);
        recalculate();
        return 0;
    case PictureView::SetDrawModeMessage:
        if (wParam <= PictureView::FitCentredNoEnlarge)
            state.mode = static_cast<int>(wParam);
        recalculate();
        return 0;
    case PictureView::GetImageMessage:
        return reinterpret_cast<LRESULT>(state.picture.get());
    case PictureView::GetBackgroundMessage:
        return reinterpret_cast<LRESULT>(state.background.get());
    case PictureView::GetBackColorMessage:
        return static_cast<LRESULT>(state.backColor);
    case PictureView::GetDrawModeMessage:
        return state.mode;
    case PictureView::ReleaseImageMessage:
        state.picture.reset();
        recalculate();
        return 0;
    case PictureView::ReleaseBackgroundMessage:
        state.background.reset();
        recalculate();
        return 0;
    case PictureView::GetPropertiesMessage:
        return reinterpret_cast<LRESULT>(&state);
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

bool ViewMessage::onKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_PRIOR)
        scrolled(state.vertical, SB_PAGEUP);
    else if (key == VK_NEXT)
        scrolled(state.vertical, SB_PAGEDOWN);
    return true;
}

bool ViewMessage::onButtonDown(MouseButton button, const Point& client, UINT)
{
    if (button != MouseButton::Left)
        return false;
    startDrag(client);
    return true;
}

bool ViewMessage::onButtonUp(MouseButton button, const Point&, UINT)
{
    if (button != MouseButton::Left)
        return false;
    endDrag();
    return true;
}

void ViewMessage::recalculate()
{
    if (state.busy)
        return;
    state.busy = true;
    if (state.mode == PictureView::ActualSize && holdsPicture(state.picture)) {
        barsForActualSize();
    } else {
        state.horizontal.setRange(0, 0);
        state.vertical.setRange(0, 0);
    }
    state.horizontal.apply(hwnd);
    state.vertical.apply(hwnd);
    state.busy = false;
    redraw();
}

// A bar takes room from the client area, which may then need the other bar as well.
void ViewMessage::barsForActualSize()
{
    Rect client;
    GetClientRect(hwnd, &client);
    int width = client.right;
    int height = client.bottom;
    int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    if (style & WS_VSCROLL)
        width += barWidth;
    if (style & WS_HSCROLL)
        height += barHeight;

    int pictureWidth = state.picture->width();
    int pictureHeight = state.picture->height();
    if (pictureHeight - 1 < height) {
        if (pictureWidth - 1 >= width) {
            height -= barHeight;
            if (pictureHeight - 1 >= height)
                width -= barWidth;
        }
    } else {
        width -= barWidth;
        if (pictureWidth - 1 >= width)
            height -= barHeight;
    }
    state.horizontal.setRange(pictureWidth - 1, std::max(width, 0));
    state.vertical.setRange(pictureHeight - 1, std::max(height, 0));
}

void ViewMessage::paint()
{
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(hwnd, &paint);
    if (!screen)
        return;
    Rect client;
    GetClientRect(hwnd, &client);
    int width = client.right;
    int height = client.bottom;
    Dib buffer;
    if (width > 0 && height > 0 && buffer.create(width, height, 32, 0)) {
        HDC dc = buffer.getDC();
        drawContents(dc, width, height);
        BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        buffer.releaseDC();
    } else if (width > 0 && height > 0) {
        // Without memory for the buffer the picture still shows, flickering.
        drawContents(screen, width, height);
    }
    EndPaint(hwnd, &paint);
}

void ViewMessage::drawContents(HDC dc, int width, int height)
{
    drawBackground(dc, width, height);
    drawPicture(dc, width, height);
}

void ViewMessage::drawBackground(HDC dc, int width, int height)
{
    if (holdsPicture(state.background)) {
        IImage& tile = *state.background;
        int tileWidth = tile.width();
        int tileHeight = tile.height();
        for (int y = 0; y < height; y += tileHeight)
            for (int x = 0; x < width; x += tileWidth)
                tile.draw(dc, x, y, tileWidth, tileHeight, 0, 0, tileWidth, tileHeight);
        return;
    }
    Rect all(0, 0, width, height);
    if (state.backColor == WindowColour) {
        FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
        return;
    }
    HBRUSH brush = CreateSolidBrush(state.backColor);
    FillRect(dc, &all, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    if (brush)
        DeleteObject(brush);
}

void ViewMessage::drawPicture(HDC dc, int width, int height)
{
    if (!holdsPicture(state.picture))
        return;
    IImage& picture = *state.picture;
    int pictureWidth = picture.width();
    int pictureHeight = picture.height();
    switch (state.mode) {
    case PictureView::ActualSize: {
        int shownWidth = std::min(pictureWidth, width);
        int shownHeight = std::min(pictureHeight, height);
        picture.draw(dc, 0, 0, shownWidth, shownHeight, state.horizontal.position(), state.vertical.position(),
                     shownWidth, shownHeight);
        break;
    }
    case PictureView::Stretch:
        picture.draw(dc, 0, 0, width, height, 0, 0, pictureWidth, pictureHeight);
        break;
    default: {
        Rect place = fittedPlace(state.mode, pictureWidth, pictureHeight, width, height);
        picture.draw(dc, place.left, place.top, place.right - place.left, place.bottom - place.top, 0, 0,
                     pictureWidth, pictureHeight);
        break;
    }
    }
}

void ViewMessage::scrolled(ScrollInfo& bar, WPARAM code)
{
    bar.scroll(hwnd, code);
    bar.apply(hwnd);
    redraw();
}

bool ViewMessage::onMouseWheel(int delta, UINT, const Point&)
{
    int notches = delta / WheelNotch;
    if (notches == 0)
        return true;
    WPARAM code = notches > 0 ? SB_PAGEUP : SB_PAGEDOWN;
    if (state.vertical.canScroll())
        scrolled(state.vertical, code);
    else if (state.horizontal.canScroll())
        scrolled(state.horizontal, code);
    return true;
}

void ViewMessage::startDrag(const Point& client)
{
    if (state.mode != PictureView::ActualSize || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)))
        return;
    SetCapture(hwnd);
    state.dragPoint = clientToScreen(hwnd, client);
}

// The picture follows the mouse: moving it left shows more of the right side.
void ViewMessage::drag(const Point& client)
{
    if (state.mode != PictureView::ActualSize || GetCapture() != hwnd)
        return;
    Point now = clientToScreen(hwnd, client);
    state.vertical.moveBy(state.dragPoint.y - now.y);
    state.horizontal.moveBy(state.dragPoint.x - now.x);
    state.vertical.apply(hwnd);
    state.horizontal.apply(hwnd);
    state.dragPoint = now;
    redraw();
}

void ViewMessage::endDrag()
{
    if (state.mode != PictureView::ActualSize)
        return;
    state.dragPoint = Point();
    if (GetCapture() == hwnd)
        ReleaseCapture();
}

// Messages of the control that answer 0 while the window has no record.
bool isControlMessage(UINT message)
{
    return (message >= PictureView::SetImageMessage && message <= PictureView::SetDrawModeMessage) ||
           (message >= PictureView::GetImageMessage && message <= PictureView::GetDrawModeMessage) ||
           message == PictureView::ReleaseImageMessage || message == PictureView::ReleaseBackgroundMessage ||
           message == PictureView::GetPropertiesMessage;
}

} // namespace

void PictureView::registerClass()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = ClassName;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        Exception::throwLastError();
}

LRESULT CALLBACK PictureView::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        auto* made = new (std::nothrow) ControlProperties();
        if (!made || !SetPropW(hwnd, ClassName, made)) {
            delete made;
            return -1;
        }
        return 0;
    }
    Properties* state = propertiesOf(hwnd);
    if (message == WM_DESTROY) {
        RemovePropW(hwnd, ClassName);
        // The pictures go with the record.
        delete state;
        return 0;
    }
    if (!state)
        return isControlMessage(message) ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
    return ViewMessage(hwnd, *state).handle(message, wParam, lParam);
}

void PictureView::create(HWND parent, int id, const Rect& rect, DWORD exStyle, DWORD style)
{
    createControl(ClassName, parent, id, rect, exStyle, style, true);
}

HWND PictureView::attach(HWND window)
{
    return attachControl(ClassName, window);
}

void PictureView::setImage(IImage* image)
{
    if (!image)
        Exception::throwInvalidArgument();
    sendMessage(SetImageMessage, 0, reinterpret_cast<LPARAM>(image));
    onImageSet(hwnd, image);
}

void PictureView::setBackgroundImage(IImage* image)
{
    if (!image)
        Exception::throwInvalidArgument();
    sendMessage(SetBackgroundMessage, 0, reinterpret_cast<LPARAM>(image));
    onBackgroundSet(hwnd, image);
}

void PictureView::setDrawMode(int mode)
{
    sendMessage(SetDrawModeMessage, static_cast<WPARAM>(mode));
}

IImage* PictureView::getImage() const
{
    return reinterpret_cast<IImage*>(sendMessage(GetImageMessage));
}

int PictureView::getDrawMode() const
{
    return static_cast<int>(sendMessage(GetDrawModeMessage));
}

void PictureView::releaseImage()
{
    sendMessage(ReleaseImageMessage);
    onImageReleased(hwnd);
}
