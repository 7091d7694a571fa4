#include "toolkit/PictureView.h"
#include <algorithm>
#include <memory>
#include <new>
#include "imaging/Dib.h"
#include "imaging/IImage.h"
#include "toolkit/PictureScene.h"
#include "toolkit/ScrollInfo.h"

namespace {

constexpr wchar_t ClassName[] = L"PictureView";
constexpr COLORREF WindowColour = static_cast<COLORREF>(-1);
constexpr int WheelNotch = 120;

} // namespace

struct PictureView::ControlProperties {
    virtual ~ControlProperties() = default;

    std::shared_ptr<SharedPicture> picture;
    std::unique_ptr<IImage> background;
    // The background as the renderer draws it, a copy that no other thread uses.
    std::shared_ptr<IImage> renderedBackground;
    int mode = ActualSize;
    // Applying the scroll bars changes the client size, which must not start another recalculation.
    bool busy = false;
    ScrollInfo vertical{SB_VERT};
    ScrollInfo horizontal{SB_HORZ};
    // Screen coordinates of the last point of a drag.
    Point dragPoint;
    COLORREF backColor = WindowColour;
    // Counts every change of what the view shows; the scaled copy drawn for the newest count is shown as it is.
    WPARAM generation = 0;
    // The generation last asked of the renderer.
    WPARAM requested = 0;
    WPARAM drawnGeneration = 0;
    // The client area drawn aside; null until the first copy has come. A copy of an older count is shown
    // stretched while the newest is drawn.
    std::unique_ptr<Dib> drawn;
    // The newest copy could not be drawn aside: the window's thread draws.
    bool drawAside = true;
    // A paint found the picture in the renderer's use and left it out.
    bool repaintWhenDrawn = false;
    // Lent; null: the window's thread draws.
    WorkerPool* workers = nullptr;
    // Goes first: a drawing under way ends on the pool with what its request holds, and is never told.
    std::unique_ptr<PictureSceneRenderer> renderer;
};

namespace {

using Properties = PictureView::ControlProperties;

// From the renderer: the copy of that request (wParam) is drawn.
constexpr UINT DrawnMessage = WM_USER + 41;

bool holdsPicture(const Properties& state)
{
    return state.picture && state.picture->width > 0 && state.picture->height > 0;
}

// Drawn on the window's thread: nothing to scale, or nothing to scale it with.
bool drawnDirectly(const Properties& state)
{
    return !holdsPicture(state) || state.mode == PictureView::ActualSize || !state.drawAside || !state.workers;
}

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
    void paintInto(HDC screen, int width, int height);
    void drawContents(HDC dc, int width, int height);
    void showDrawn(HDC dc, int width, int height);
    void requestDrawing(int width, int height);
    void drawingArrived(WPARAM generation);
    void changed();
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
        state.picture.reset();
        state.picture = std::make_shared<SharedPicture>(reinterpret_cast<IImage*>(lParam));
        recalculate();
        return 0;
    case PictureView::SetBackgroundMessage:
        state.background.reset(reinterpret_cast<IImage*>(lParam));
        state.renderedBackground.reset(state.background->clone());
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
        return reinterpret_cast<LRESULT>(state.picture ? state.picture->image.get() : nullptr);
    case PictureView::GetBackgroundMessage:
        return reinterpret_cast<LRESULT>(state.background.get());
    case PictureView::GetBackColorMessage:
        return static_cast<LRESULT>(state.backColor);
    case PictureView::GetDrawModeMessage:
        return state.mode;
    case PictureView::ReleaseImageMessage:
        state.picture.reset();
        state.drawn.reset();
        recalculate();
        return 0;
    case PictureView::ReleaseBackgroundMessage:
        state.background.reset();
        state.renderedBackground.reset();
        recalculate();
        return 0;
    case PictureView::PictureChangedMessage:
        if (state.picture) {
            CriticalSectionLock use(state.picture->use);
            state.picture->measure();
        }
        recalculate();
        return 0;
    case DrawnMessage:
        drawingArrived(wParam);
        return 0;
    case PictureView::SetWorkersMessage:
        state.renderer.reset();
        state.workers = reinterpret_cast<WorkerPool*>(lParam);
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
    if (state.mode == PictureView::ActualSize && holdsPicture(state)) {
        barsForActualSize();
    } else {
        state.horizontal.setRange(0, 0);
        state.vertical.setRange(0, 0);
    }
    state.horizontal.apply(hwnd);
    state.vertical.apply(hwnd);
    state.busy = false;
    changed();
}

// Whatever was drawn aside shows an older state.
void ViewMessage::changed()
{
    ++state.generation;
    state.drawAside = true;
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

    int pictureWidth = state.picture->width;
    int pictureHeight = state.picture->height;
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
    if (client.right > 0 && client.bottom > 0)
        paintInto(screen, client.right, client.bottom);
    EndPaint(hwnd, &paint);
}

// A picture that must be scaled is drawn aside at the view's size, which GDI+ takes long for when the
// picture is large; the paint only copies what was drawn.
void ViewMessage::paintInto(HDC screen, int width, int height)
{
    if (!drawnDirectly(state)) {
        showDrawn(screen, width, height);
        return;
    }
    Dib buffer;
    if (buffer.create(width, height, 32, 0)) {
        HDC dc = buffer.getDC();
        drawContents(dc, width, height);
        BitBlt(screen, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        buffer.releaseDC();
    } else {
        // Without memory for the buffer the picture still shows, flickering.
        drawContents(screen, width, height);
    }
}

// The picture is left out while the renderer still draws it, until that drawing has come.
void ViewMessage::drawContents(HDC dc, int width, int height)
{
    PictureScene scene{state.mode,
                       state.backColor,
                       state.background.get(),
                       nullptr,
                       {state.horizontal.position(), state.vertical.position()}};
    SharedPicture* picture = holdsPicture(state) ? state.picture.get() : nullptr;
    if (picture && !TryEnterCriticalSection(&picture->use.section)) {
        state.repaintWhenDrawn = true;
        picture = nullptr;
    }
    scene.picture = picture;
    drawPictureScene(dc, width, height, scene);
    if (picture)
        picture->use.leave();
}

void ViewMessage::showDrawn(HDC dc, int width, int height)
{
    if (state.drawnGeneration != state.generation || !state.drawn)
        requestDrawing(width, height);
    if (!state.drawn) {
        PictureScene background{state.mode, state.backColor, state.background.get()};
        drawPictureScene(dc, width, height, background);
        return;
    }
    HDC drawn = state.drawn->getDC();
    int drawnWidth = state.drawn->width();
    int drawnHeight = state.drawn->height();
    if (drawnWidth == width && drawnHeight == height) {
        BitBlt(dc, 0, 0, width, height, drawn, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, width, height, drawn, 0, 0, drawnWidth, drawnHeight, SRCCOPY);
    }
    state.drawn->releaseDC();
}

void ViewMessage::requestDrawing(int width, int height)
{
    if (state.requested == state.generation)
        return;
    state.requested = state.generation;
    PictureSceneRequest request{
        hwnd, DrawnMessage, width, height, state.mode, state.backColor, state.renderedBackground, state.picture};
    try {
        if (!state.renderer)
            state.renderer = std::make_unique<PictureSceneRenderer>(*state.workers);
        state.renderer->submit(request);
        return;
    } catch (const Exception&) {
    } catch (const std::bad_alloc&) {
    }
    state.drawAside = false;
    redraw();
}

// The renderer hands over only the newest request's drawing, which is of the generation asked last.
void ViewMessage::drawingArrived(WPARAM number)
{
    std::unique_ptr<Dib> drawn;
    if (!state.renderer || !state.renderer->take(number, drawn))
        return;
    if (state.repaintWhenDrawn) {
        state.repaintWhenDrawn = false;
        redraw();
    }
    if (state.requested != state.generation)
        return;
    state.drawnGeneration = state.generation;
    if (drawn)
        state.drawn = std::move(drawn);
    else
        state.drawAside = false;
    redraw();
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
           message == PictureView::PictureChangedMessage || message == PictureView::SetWorkersMessage ||
           message == DrawnMessage || message == PictureView::GetPropertiesMessage;
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

void PictureView::setWorkers(WorkerPool& workers)
{
    sendMessage(SetWorkersMessage, 0, reinterpret_cast<LPARAM>(&workers));
}

void PictureView::redrawImage()
{
    sendMessage(PictureChangedMessage);
}

bool PictureView::showsNewest(HWND window)
{
    const Properties* state = window ? propertiesOf(window) : nullptr;
    return !state || drawnDirectly(*state) || state->drawnGeneration == state->generation;
}

PictureView::HeldImage::HeldImage(HWND view)
{
    auto* state = reinterpret_cast<Properties*>(SendMessageW(view, GetPropertiesMessage, 0, 0));
    if (!state || !state->picture)
        return;
    held = state->picture;
    held->use.enter();
}

PictureView::HeldImage::~HeldImage()
{
    if (held)
        held->use.leave();
}

IImage* PictureView::HeldImage::get() const
{
    return held ? held->image.get() : nullptr;
}

void PictureView::releaseImage()
{
    sendMessage(ReleaseImageMessage);
    onImageReleased(hwnd);
}
