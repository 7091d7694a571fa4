#include "mainwindow/PreviewWindow.h"
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>
#include "conversion/PreviewConversion.h"
#include "foundation/Application.h"
#include "foundation/ComPtr.h"
#include "imaging/ComStream.h"
#include "imaging/Dib.h"
#include "imaging/GdipImage.h"
#include "imaging/WicBitmapSource.h"
#include "imaging/pictureProbe.h"
#include "imaging/wicDecode.h"
#include "mainwindow/PPView.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "toolkit/EscapeKeyCanceller.h"

namespace {

wstring number(ULONGLONG value)
{
    return wstring(std::to_wstring(value).c_str());
}

} // namespace

PreviewWindow::PreviewWindow(IOwner& manager, const MainWindowServices& services, const wstring& path)
    : manager(manager), services(services), setting(services.setting), path(path)
{
}

PreviewWindow::PreviewWindow(IOwner& manager, const MainWindowServices& services, const wstring& path, int format,
                             const wstring& formatName)
    : manager(manager), services(services), setting(services.setting), path(path), format(format),
      formatName(formatName), converted(true)
{
}

// The view goes with the window, before its object.
PreviewWindow::~PreviewWindow()
{
    destroy();
}

BYTE PreviewWindow::alphaOf(int transparency)
{
    return static_cast<BYTE>(static_cast<int>(255.0 - std::min(transparency, 100) * 255.0 / 100.0));
}

LRESULT PreviewWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case FitWidthMessage:
        fitToScrollBar(true);
        return 0;
    case FitHeightMessage:
        fitToScrollBar(false);
        return 0;
    case LoadedMessage:
        if (view && view->getHandle())
            view->redrawImage();
        return 0;
    case PictureArrivedMessage:
        pictureArrived(wParam);
        return 0;
    default:
        return UserWindow::handleMessage(window, message, wParam, lParam);
    }
}

bool PreviewWindow::onCreate(const CREATESTRUCTW&, bool& refuse)
{
    refuse = !created();
    return true;
}

bool PreviewWindow::onKeyDown(UINT key, UINT, UINT)
{
    try {
        keyDown(key);
    } catch (const Exception&) {
    }
    return true;
}

// The middle button cycles the display mode.
bool PreviewWindow::onButtonDown(MouseButton button, const Point&, UINT)
{
    bool middle = button == MouseButton::Middle;
    if (middle)
        cycleMode();
    return middle;
}

// A double click closes the window.
bool PreviewWindow::onDoubleClick(MouseButton button, const Point&, UINT)
{
    bool left = button == MouseButton::Left;
    if (left)
        sendMessage(WM_SYSCOMMAND, SC_CLOSE);
    return left;
}

bool PreviewWindow::onSize(UINT, const Size& client)
{
    if (view && view->getHandle())
        view->setBounds(0, 0, client.cx, client.cy);
    return true;
}

bool PreviewWindow::onSetFocus(HWND)
{
    if (view && view->getHandle())
        view->setFocus();
    return true;
}

// A decode under way runs to its end on the pool, which the window does not wait for.
bool PreviewWindow::onDestroy()
{
    destroyIcon();
    if (loader && loader->detach())
        manager.retire(path, std::move(loader));
    loader.reset();
    return true;
}

// The view covers the whole client area.
bool PreviewWindow::onEraseBackground(HDC)
{
    return true;
}

// Any failure makes the creation fail; the manager tells a cancelled conversion from the rest.
bool PreviewWindow::created()
{
    try {
        build();
        return true;
    } catch (const ConvertCanceledException&) {
        cancelled = true;
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
    return false;
}

void PreviewWindow::build()
{
    askedFrom = GetForegroundWindow();
    view = std::make_unique<PPView>(services, *this, manager.mainWindow());
    view->create(hwnd, ViewId, Rect(), 0, 0);
    view->subclass();
    view->sendMessage(PPView::StartMessage);
    applyBackground();
    if (!converted) {
        startLoading();
        return;
    }
    std::unique_ptr<IImage> picture = convertedPicture();
    if (!picture || picture->isEmpty())
        throw Exception(ErrorCode::InvalidState);
    if (setting.viewPreviewMakeIcon)
        makeIcon(*picture);
    place(std::move(picture));
}

void PreviewWindow::startLoading()
{
    PreviewPaneLoader::Request request;
    request.path = path;
    request.window = hwnd;
    request.message = PictureArrivedMessage;
    request.frameWindow = hwnd;
    request.frameMessage = LoadedMessage;
    if (setting.viewPreviewMakeIcon)
        request.iconSize = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
    if (loader && loader->adopt(hwnd, PictureArrivedMessage))
        return;
    loader = std::make_unique<PreviewPaneLoader>(services.workers);
    loader->load(request);
}

void PreviewWindow::pictureArrived(WPARAM request)
{
    PreviewPaneLoader::Result loaded;
    if (!loader || !loader->take(request, loaded))
        return;
    loader.reset();
    try {
        if (!loaded.picture || loaded.picture->isEmpty())
            throw Exception(ErrorCode::InvalidState);
        bitDepth = sourceDepth(*loaded.picture);
        if (loaded.icon)
            makeIcon(*loaded.icon);
        place(std::move(loaded.picture));
        present();
        return;
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
    // Told once the window has gone, by whoever keeps the windows: a message box here would serve the
    // messages that may delete this object.
    destroy();
    manager.loadFailed();
}

void PreviewWindow::place(std::unique_ptr<IImage> picture)
{
    int width = picture->width();
    int height = picture->height();
    view->setImage(picture.get());
    picture.release();
    sizeToPicture(width, height);
    Rect client = getClientRect();
    view->setBounds(0, 0, client.right, client.bottom);
    setText(title(width, height));
    setInitialMode();
    if (setting.viewPreviewShowHints)
        addHints();
    transparency = setting.viewPreviewUseTransparent ? setting.viewPreviewTransparent : 0;
    applyTransparency();
}

void PreviewWindow::present()
{
    if (!view || !view->getHandle() || !view->hasImage() || isVisible())
        return;
    HWND user = GetForegroundWindow();
    if (user == askedFrom)
        show(SW_SHOW);
    else
        showBehind(user);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The user has gone on elsewhere meanwhile: the keys stay where they go now, and a dialog of the program that
// waits for an answer stays in front.
void PreviewWindow::showBehind(HWND user)
{
    HWND main = manager.mainWindow();
    HWND dialog = main && !IsWindowEnabled(main) ? GetLastActivePopup(main) : nullptr;
    HWND above = dialog && dialog != main && IsWindowVisible(dialog) ? dialog : user;
    if (!above) {
        show(SW_SHOWNOACTIVATE);
        return;
    }
    SetWindowPos(hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

// GDI+ widens some files; the title tells the depth of the file.
int PreviewWindow::sourceDepth(IImage& picture) const
{
    int depth = picture.bitsPerPixel();
    if (auto* gdiplus = dynamic_cast<GdipImage*>(&picture)) {
        WORD bits = static_cast<WORD>(depth);
        getPngBitDepth(path.buffer(), gdiplus->getImage(), bits);
        depth = bits;
    }
    return depth;
}

// The picture as the conversion writes it: encoded in the output format and decoded again, so that the
// window shows the output's own colours, depth and compression.
std::unique_ptr<IImage> PreviewWindow::convertedPicture()
{
    EscapeKeyCanceller canceller;
    ComPtr<IStream> encoded;
    if (convertOneFile(path.buffer(), format, &encoded, &canceller) != PreviewConversion::Converted) {
        if (canceller.isCancelled())
            throw ConvertCanceledException(static_cast<int>(GetLastError()));
        return nullptr;
    }
    STATSTG status{};
    if (SUCCEEDED(encoded->Stat(&status, STATFLAG_NONAME)))
        encodedSize = status.cbSize.QuadPart;
    rewindComStream(encoded.get());
    WIC::BitmapFrameDecode frame(wicFirstFrameFromStream(encoded.get()), true);
    bitDepth = static_cast<int>(frame.bitsPerPixel());
    std::unique_ptr<Gdiplus::Bitmap> bitmap(wicToGdiplusBitmap(frame));
    if (!bitmap)
        return nullptr;
    return std::make_unique<GdipImage>(bitmap.get());
}

void PreviewWindow::makeIcon(IImage& picture)
{
    int width = GetSystemMetrics(SM_CXSMICON);
    int height = GetSystemMetrics(SM_CYSMICON);
    Dib colour;
    if (!colour.create(width, height, 24, RGB(255, 255, 255)))
        Exception::throwLastError();
    picture.draw(colour.getDC(), 0, 0, width, height, 0, 0, picture.width(), picture.height());
    colour.releaseDC();
    makeIcon(colour);
}

void PreviewWindow::makeIcon(const Dib& colour)
{
    int width = colour.width();
    int height = colour.height();
    // An all-zero mask: every pixel of the picture shows.
    std::vector<BYTE> zeros(static_cast<size_t>((width + 15) / 16 * 2 * height), 0);
    HBITMAP mask = CreateBitmap(width, height, 1, 1, zeros.data());
    if (!mask)
        Exception::throwLastError();
    ICONINFO parts{TRUE, 0, 0, mask, colour.getBitmap()};
    icon = CreateIconIndirect(&parts);
    DeleteObject(mask);
    if (!icon)
        Exception::throwLastError();
    setIcon(icon);
}

void PreviewWindow::destroyIcon()
{
    if (!icon)
        return;
    if (getHandle()) {
        sendMessage(WM_SETICON, ICON_BIG, 0);
        sendMessage(WM_SETICON, ICON_SMALL, 0);
    }
    DestroyIcon(icon);
    icon = nullptr;
}

void PreviewWindow::applyBackground()
{
    view->setBackgroundSwatch(manager.backgroundOf(setting.viewPreviewBack));
}

void PreviewWindow::sizeToPicture(int width, int height)
{
    Rect frame(0, 0, width, height);
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    setSize(std::min(setting.viewPreviewInitWidth, static_cast<int>(frame.right - frame.left)),
            std::min(setting.viewPreviewInitHeight, static_cast<int>(frame.bottom - frame.top)));
}

wstring PreviewWindow::title(int width, int height) const
{
    wstring text = path;
    if (converted)
        text += L" " + services.program.loadString(IDS_CONVERTED_TITLE);
    text += L"   [";
    if (converted)
        text += formatName + L" ";
    text += number(width) + L" x " + number(height) + L" " + number(bitDepth) + L"bit";
    if (converted && encodedSize)
        text += L" " + number((encodedSize + 1023) / 1024) + L"KB";
    text += L"]";
    return text;
}

void PreviewWindow::setInitialMode()
{
    int mode = drawModeOfPreviewSetting(setting.viewPreviewInitMode);
    if (mode == PictureView::ActualSize) {
        // Once the view has its bars, the window may grow by them.
        postMessage(FitWidthMessage);
        postMessage(FitHeightMessage);
    }
    view->setDrawMode(mode);
}

void PreviewWindow::addHints()
{
    toolTip.create(hwnd, 0);
    toolTip.setMaxTipWidth();
    toolTip.addTool(view->getHandle(), nullptr, services.program.loadString(IDS_PREVIEW_KEYS_TIP).buffer());
}

void PreviewWindow::applyTransparency()
{
    if (transparency > 0) {
        setExStyle(0, WS_EX_LAYERED);
        SetLayeredWindowAttributes(hwnd, 0, alphaOf(transparency), LWA_ALPHA);
    } else if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) {
        setExStyle(WS_EX_LAYERED, 0);
    }
}

void PreviewWindow::keyDown(UINT key)
{
    bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_ESCAPE:
        sendMessage(WM_SYSCOMMAND, SC_CLOSE);
        break;
    case VK_SPACE:
        cycleMode();
        break;
    case VK_LEFT:
    case VK_UP:
        if (!shift) {
            manager.focusNeighbour(*this, false);
            break;
        }
        transparency = std::min(transparency + 1, MaxTransparency);
        applyTransparency();
        break;
    case VK_RIGHT:
    case VK_DOWN:
        if (!shift) {
            manager.focusNeighbour(*this, true);
            break;
        }
        transparency = std::max(transparency - 1, 0);
        applyTransparency();
        break;
    case VK_ADD:
        view->sendMessage(WM_COMMAND, PPView::NextFrame);
        break;
    case VK_SUBTRACT:
        view->sendMessage(WM_COMMAND, PPView::PreviousFrame);
        break;
    default:
        break;
    }
}

void PreviewWindow::cycleMode()
{
    if (!view || !view->getHandle())
        return;
    int command = 0;
    switch (view->getDrawMode()) {
    case PictureView::ActualSize:
        command = PPView::ModeStretch;
        break;
    case PictureView::Stretch:
        command = PPView::ModeFit;
        break;
    case PictureView::FitCentred:
        command = PPView::ModeActualSize;
        break;
    default:
        return;
    }
    sendCommand(view->getHandle(), command);
}

void PreviewWindow::fitToScrollBar(bool vertical)
{
    if (!view || !view->getHandle() || !(view->getStyle() & (vertical ? WS_VSCROLL : WS_HSCROLL)))
        return;
    Rect bounds = getWindowRect();
    int width = bounds.right - bounds.left;
    int height = bounds.bottom - bounds.top;
    if (vertical) {
        width += GetSystemMetrics(SM_CXVSCROLL);
        if (width <= setting.viewPreviewInitWidth)
            setSize(width, height);
    } else {
        height += GetSystemMetrics(SM_CYHSCROLL);
        if (height <= setting.viewPreviewInitHeight)
            setSize(width, height);
    }
}
