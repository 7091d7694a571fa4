#include "mainwindow/PPView.h"
#include <imm.h>
#include <cstdio>
#include "foundation/Application.h"
#include "foundation/Clipboard.h"
#include "foundation/LockedBlock.h"
#include "foundation/Mutex.h"
#include "foundation/wstringArray.h"
#include "imaging/AnimeGifTimer.h"
#include "imaging/DibConversion.h"
#include "imaging/DibImage.h"
#include "imaging/GdipImage.h"
#include "imaging/GdipImageWithWIC.h"
#include "imaging/clipboardImage.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/mainWindowMessages.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "toolkit/WaitCursor.h"

namespace {

// The context menu's texts, in this order in IDS_PREVIEW_MENU with "/" between them.
enum MenuText {
    TextActualSize,
    TextStretch,
    TextFit,
    TextColourHex,
    TextColourDecimal,
    TextCopy,
    TextPrint,
    TextNextFrame,
    TextPreviousFrame,
    TextPlay,
    TextStop,
    MenuTextCount
};

// Runs what passes input on to a preview window; true when that closed the window, whose view then must
// not touch it any more.
template <typename PassOn>
bool closedBy(HWND window, PassOn passOn)
{
    passOn();
    return !IsWindow(window);
}

// Guarded by the application's unnamed mutex: every view of the process shares it.
bool printingNow = false;

// The picture as GDI+ sees it: the picture's own bitmap, or a copy made of a Dib picture.
class ShownBitmap {
public:
    explicit ShownBitmap(IImage* picture)
    {
        if (auto* gdiplus = dynamic_cast<GdipImage*>(picture)) {
            image = gdiplus->getImage();
        } else if (auto* decoded = dynamic_cast<GdipImageWithWIC*>(picture)) {
            // A picture still being decoded is copied once it is complete.
            image = decoded->waitBitmap();
        } else if (auto* dib = dynamic_cast<DibImage*>(picture)) {
            copy.reset(dibToGdiplusBitmap(dib->getDib(), hasAlphaBytes(dib->getDib())));
            image = copy.get();
        }
    }
    Gdiplus::Image* get() const { return image; }

private:
    Gdiplus::Image* image = nullptr;
    std::unique_ptr<Gdiplus::Image> copy;
};

wstring colourText(COLORREF colour, bool hexadecimal)
{
    wchar_t text[32];
    if (hexadecimal) {
        unsigned value = GetRValue(colour) * 65536u + GetGValue(colour) * 256u + GetBValue(colour);
        std::swprintf(text, 32, L"%06x", value);
    } else {
        std::swprintf(text, 32, L"%d %d %d", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    }
    return wstring(text);
}

bool hasOpenModalDialog(HWND owner)
{
    if (!owner)
        return false;
    struct Search {
        HWND owner;
        bool found = false;
    } search{owner};
    EnumThreadWindows(
        GetWindowThreadProcessId(owner, nullptr),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* search = reinterpret_cast<Search*>(lParam);
            if (GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window) &&
                (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME))
                search->found = true;
            return !search->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct MenuDestroyer {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

void appendItem(HMENU menu, UINT command, const wstring& text, bool enabled)
{
    AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text.buffer());
}

// A printer's device context, deleted at the end of the scope.
class PrinterDC {
public:
    explicit PrinterDC(HDC dc) : dc(dc) {}
    PrinterDC(const PrinterDC&) = delete;
    PrinterDC& operator=(const PrinterDC&) = delete;
    ~PrinterDC()
    {
        if (dc)
            DeleteDC(dc);
    }
    HDC get() const { return dc; }

private:
    HDC dc;
};

} // namespace

// Everything that holds while a print job runs, given back when it ends, an exception included: the flag
// that keeps other views from printing, the main window disabled behind a preview window, the wait cursor.
class PPView::PrintingScope {
public:
    PrintingScope(Application& program, HWND mainWindow, bool disableMainWindow) : program(program)
    {
        if (disableMainWindow && mainWindow && IsWindowEnabled(mainWindow)) {
            EnableWindow(mainWindow, FALSE);
            disabled = mainWindow;
        }
        setPrinting(true);
    }
    PrintingScope(const PrintingScope&) = delete;
    PrintingScope& operator=(const PrintingScope&) = delete;
    ~PrintingScope()
    {
        setPrinting(false);
        if (disabled)
            EnableWindow(disabled, TRUE);
    }

private:
    void setPrinting(bool printing)
    {
        MutexLock lock(program.getSecondMutex());
        printingNow = printing;
    }

    Application& program;
    HWND disabled = nullptr;
    WaitCursor wait;
};

PPView::PPView(const MainWindowServices& services) : services(services)
{
    printSettings.takeDefaultPrinter();
    printSettings.record.Flags = PD_PRINTSETUP;
}

PPView::PPView(const MainWindowServices& services, Window& previewWindow, HWND mainWindow) : PPView(services)
{
    this->previewWindow = &previewWindow;
    givenMainWindow = mainWindow;
}

PPView::~PPView() = default;

bool PPView::isPrinting() const
{
    MutexLock lock(services.program.getSecondMutex());
    return printingNow;
}

HWND PPView::mainWindow() const
{
    if (inMainWindow())
        return getHandle() ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    return givenMainWindow;
}

void PPView::showError(const Exception& error)
{
    services.program.showException(mainWindow(), error);
}

int PPView::frameCount() const
{
    if (!getHandle())
        return 0;
    HeldImage held(*this);
    return held.get() ? held.get()->frameCount() : 0;
}

bool PPView::isAnimating() const
{
    return timer && timer->isRunning();
}

LRESULT PPView::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case StartMessage:
        return start(window);
    case SetImageMessage:
    case ReleaseImageMessage:
        pictureChanged();
        break;
    case AnimationStepMessage:
        stepFrame(true, true);
        return 0;
    case FrameDecodedMessage:
        redrawImage();
        return 0;
    default:
        break;
    }
    return Control::handleMessage(window, message, wParam, lParam);
}

LRESULT PPView::start(HWND window)
{
    setWorkers(services.workers);
    previousInputContext = ImmAssociateContext(window, nullptr);
    timer = std::make_unique<AnimeGifTimer>();
    return 0;
}

bool PPView::onDestroy()
{
    timer.reset();
    ImmAssociateContext(hwnd, previousInputContext);
    previousInputContext = nullptr;
    return false;
}

void PPView::pictureChanged()
{
    if (timer)
        timer->stop();
    currentFrame = 0;
}

// The picture view paints; a new display mode may take it long.
bool PPView::onPaint()
{
    if (!repaintWithWaitCursor)
        return false;
    WaitCursor wait;
    Control::handleMessage(hwnd, WM_PAINT, 0, 0);
    repaintWithWaitCursor = false;
    return true;
}

bool PPView::onSetCursor(HWND, UINT, UINT, bool&)
{
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return true;
}

bool PPView::onMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (inMainWindow())
        sendMenuSelect(mainWindow(), item, flags, menu);
    return inMainWindow();
}

// In a preview window, what the window makes of the input comes first; the view still gets it (the arrows
// scroll), unless the window closed (Esc).
bool PPView::onKeyDown(UINT key, UINT repeat, UINT flags)
{
    return previewWindow && closedBy(hwnd, [&] { previewWindow->onKeyDown(key, repeat, flags); });
}

bool PPView::onButtonDown(MouseButton button, const Point& client, UINT keys)
{
    if (button == MouseButton::Left)
        return dragWindow(client);
    if (button == MouseButton::Middle && previewWindow)
        return closedBy(hwnd, [&] { previewWindow->onButtonDown(button, client, keys); });
    return false;
}

// The view still gets the double click, unless the window closed.
bool PPView::onDoubleClick(MouseButton button, const Point& client, UINT keys)
{
    if (button != MouseButton::Left)
        return false;
    if (previewWindow)
        return closedBy(hwnd, [&] { previewWindow->onDoubleClick(button, client, keys); });
    SendMessageW(mainWindow(), OpenPreviewMessage, 0, 0);
    return false;
}

// Dragging a picture that does not scroll drags the window it lies in.
bool PPView::dragWindow(const Point& client)
{
    bool scrolls = getDrawMode() == ActualSize && (getStyle() & (WS_HSCROLL | WS_VSCROLL));
    if (scrolls)
        return false;
    ReleaseCapture();
    dragByCaption(inMainWindow() ? mainWindow() : GetParent(hwnd), clientToScreen(hwnd, client));
    return true;
}

void PPView::onCommand(HWND, int id, int code)
{
    switch (id) {
    case ModeActualSize:
        setDrawMode(ActualSize);
        repaintWithWaitCursor = true;
        break;
    case ModeStretch:
        setDrawMode(Stretch);
        repaintWithWaitCursor = true;
        break;
    case ModeFit:
        setDrawMode(FitCentred);
        repaintWithWaitCursor = true;
        break;
    case CopyColourHex:
    case CopyColourDecimal:
        copyColour(id == CopyColourHex);
        break;
    case CopyPicture:
        copyPicture();
        break;
    case Print:
        print();
        break;
    case NextFrame:
    case PreviousFrame:
        stepFrame(id == NextFrame, code == FromTimer);
        break;
    case PlayAnimation:
    case StopAnimation:
        toggleAnimation();
        break;
    case PositionLeft:
    case PositionTop:
    case PositionRight:
    case PositionBottom:
        if (inMainWindow())
            sendCommand(mainWindow(), id);
        break;
    default:
        break;
    }
}

void PPView::setBackgroundSwatch(const Dib* swatch)
{
    if (!swatch) {
        sendMessage(ReleaseBackgroundMessage);
        return;
    }
    auto background = std::make_unique<DibImage>(*swatch);
    setBackgroundImage(background.get());
    background.release();
}

HMENU PPView::makeContextMenu()
{
    wstringArray texts;
    texts.split(services.program.loadString(IDS_PREVIEW_MENU), L"/", false);
    if (texts.count() < MenuTextCount)
        throw Exception(ErrorCode::InvalidState);
    MenuHandle menu(CreatePopupMenu());
    if (!menu)
        Exception::throwLastError();
    HMENU items = menu.get();

    appendItem(items, ModeActualSize, texts.at(TextActualSize), true);
    appendItem(items, ModeStretch, texts.at(TextStretch), true);
    appendItem(items, ModeFit, texts.at(TextFit), true);
    CheckMenuRadioItem(items, ModeActualSize, ModeFit, previewModeCommand(getDrawMode()), MF_BYCOMMAND);
    AppendMenuW(items, MF_SEPARATOR, 0, nullptr);

    bool playing = isAnimating();
    bool usable = !playing && hasImage();
    appendItem(items, CopyColourHex, texts.at(TextColourHex), usable);
    appendItem(items, CopyColourDecimal, texts.at(TextColourDecimal), usable);
    appendItem(items, CopyPicture, texts.at(TextCopy), usable);
    appendItem(items, Print, texts.at(TextPrint), usable && !isPrinting() && !hasOpenModalDialog(mainWindow()));

    int frames = frameCount();
    if (frames >= 2) {
        AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
        appendItem(items, NextFrame, texts.at(TextNextFrame), !playing && currentFrame < frames - 1);
        appendItem(items, PreviousFrame, texts.at(TextPreviousFrame), !playing && currentFrame > 0);
        if (timer && canAnimate()) {
            if (playing)
                appendItem(items, StopAnimation, texts.at(TextStop), true);
            else
                appendItem(items, PlayAnimation, texts.at(TextPlay), true);
        }
    }
    if (inMainWindow())
        appendPositionMenu(items);
    return menu.release();
}

// The popup of the menu resource, radio-checked on where the pane lies.
void PPView::appendPositionMenu(HMENU menu)
{
    MenuHandle bar(LoadMenuW(services.program.getResourceModule(), MAKEINTRESOURCEW(IDR_PREVIEW_POSITION_MENU)));
    if (!bar)
        return;
    HMENU positions = GetSubMenu(bar.get(), 0);
    wchar_t caption[64] = L"";
    GetMenuStringW(bar.get(), 0, caption, 64, MF_BYPOSITION);
    if (!positions || !RemoveMenu(bar.get(), 0, MF_BYPOSITION))
        return;
    int checked = positionCommand();
    if (checked)
        CheckMenuRadioItem(positions, PositionLeft, PositionBottom, static_cast<UINT>(checked), MF_BYCOMMAND);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (!AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(positions), caption))
        DestroyMenu(positions);
}

// Where the pane lies beside the other pane of its splitter; 0 when it is alone.
int PPView::positionCommand() const
{
    Rect own = getWindowRect();
    for (HWND sibling = GetWindow(hwnd, GW_HWNDFIRST); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == hwnd || !IsWindowVisible(sibling))
            continue;
        Rect other;
        GetWindowRect(sibling, &other);
        if (own.right <= other.left)
            return PositionLeft;
        if (own.bottom <= other.top)
            return PositionTop;
        if (own.left >= other.right)
            return PositionRight;
        if (own.top >= other.bottom)
            return PositionBottom;
    }
    return 0;
}

bool PPView::onContextMenu(HWND, const Point& screen, bool fromKeyboard)
{
    showContextMenu(screen, fromKeyboard);
    return true;
}

// The menu opens where the user clicked; from the keyboard (no point) at the mouse cursor.
void PPView::showContextMenu(const Point& screen, bool fromKeyboard)
{
    try {
        Point cursor = screen;
        if (fromKeyboard)
            GetCursorPos(&cursor);
        menuPoint = screenToClient(cursor);
        MenuHandle menu(makeContextMenu());
        TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, hwnd, nullptr);
    } catch (const Exception&) {
        // No menu this time; the view goes on working.
    }
}

void PPView::copyColour(bool hexadecimal)
{
    try {
        WaitCursor wait;
        HDC dc = GetDC(hwnd);
        if (!dc)
            Exception::throwLastError();
        COLORREF colour = GetPixel(dc, menuPoint.x, menuPoint.y);
        ReleaseDC(hwnd, dc);
        if (colour == CLR_INVALID)
            throw Exception(ErrorCode::InvalidArgument);
        OpenedClipboard clipboard(hwnd);
        if (!clipboard.isOpen() || !setClipboardText(colourText(colour, hexadecimal).buffer()))
            Exception::throwLastError();
    } catch (const Exception& error) {
        showError(error);
    }
}

void PPView::copyPicture()
{
    try {
        WaitCursor wait;
        HeldImage held(*this);
        ShownBitmap bitmap(held.get());
        saveImageToClipboard(bitmap.get(), hwnd);
    } catch (const Exception& error) {
        showError(error);
    }
}

void PPView::print()
{
    try {
        PrintingScope scope(services.program, mainWindow(), !inMainWindow());
        printShownPicture();
    } catch (const Exception& error) {
        // Shown once the main window is enabled again.
        showError(error);
    }
}

void PPView::printShownPicture()
{
    printSettings.record.hwndOwner = hwnd;
    // A printer may have been added since the view was made; without one there is nothing to ask.
    if (!printSettings.hasPrinter() && !printSettings.takeDefaultPrinter())
        throw ApplicationException(services.program.loadString(IDS_NO_PRINTER).buffer());
    const AppSetting& setting = services.setting;
    if (setting.viewPrintDefault) {
        LockedBlock mode(printSettings.record.hDevMode);
        auto* device = static_cast<DEVMODEW*>(mode.get());
        if (!device)
            Exception::throwLastError();
        device->dmPaperSize = static_cast<short>(setting.viewPrintPaperSize);
        device->dmOrientation = setting.viewPrintOrientation ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        device->dmFields |= DM_PAPERSIZE | DM_ORIENTATION;
    } else if (!printSettings.show()) {
        DWORD error = CommDlgExtendedError();
        if (error)
            throw Exception(static_cast<int>(error));
        return;
    }

    std::unique_ptr<Dib> picture;
    {
        HeldImage held(*this);
        ShownBitmap bitmap(held.get());
        picture.reset(bitmap.get() ? gdiplusBitmapToDib(bitmap.get()) : nullptr);
    }
    if (!picture)
        throw Exception(ErrorCode::NoMemory);
    PrinterDC printer(printSettings.createDC());
    if (!printer.get())
        throw ApplicationException(services.program.loadString(IDS_PRINT_FAILED).buffer());
    wstring title = services.program.getTitle();
    if (!PrintDocument::print(printer.get(), title.buffer(), reinterpret_cast<INT_PTR>(picture.get())))
        throw ApplicationException(services.program.loadString(IDS_PRINT_FAILED).buffer());
}

void PPView::onPrintPage(HDC printer, int, INT_PTR userValue)
{
    drawPictureOnPage(printer, *reinterpret_cast<const Dib*>(userValue));
}

void drawPictureOnPage(HDC page, const Dib& picture)
{
    int width = picture.width();
    int height = picture.height();
    if (width <= 0 || height <= 0)
        return;
    HDC screen = GetDC(nullptr);
    int screenDpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    double scale = static_cast<double>(GetDeviceCaps(page, LOGPIXELSX)) / (screenDpi > 0 ? screenDpi : 96);
    int printableWidth = GetDeviceCaps(page, HORZRES);
    int printableHeight = GetDeviceCaps(page, VERTRES);
    if (width * scale > printableWidth)
        scale = static_cast<double>(printableWidth) / width;
    if (height * scale > printableHeight)
        scale = static_cast<double>(printableHeight) / height;
    picture.stretchTo(page, 0, 0, static_cast<int>(width * scale), static_cast<int>(height * scale), 0, 0, width,
                      height);
}

void PPView::stepFrame(bool next, bool fromTimer)
{
    HeldImage held(*this);
    IImage* picture = held.get();
    int frames = picture ? picture->frameCount() : 0;
    if (frames < 2)
        return;
    // The menu stops at either end; only the animation goes round.
    if (!fromTimer && ((next && currentFrame >= frames - 1) || (!next && currentFrame <= 0)))
        return;
    int target = next ? (currentFrame + 1 < frames ? currentFrame + 1 : 0)
                      : (currentFrame > 0 ? currentFrame - 1 : frames - 1);
    bool selected;
    if (auto* decoded = dynamic_cast<GdipImageWithWIC*>(picture))
        selected = decoded->reload(static_cast<UINT>(target), hwnd, FrameDecodedMessage);
    else
        selected = picture->selectFrame(target);
    if (!selected)
        return;
    currentFrame = target;
    redrawImage();
}

bool PPView::canAnimate() const
{
    HeldImage held(*this);
    auto* picture = dynamic_cast<GdipImage*>(held.get());
    return picture && isGifImage(picture->getImage());
}

void PPView::toggleAnimation()
{
    if (!timer)
        return;
    if (timer->isRunning()) {
        timer->stop();
        return;
    }
    {
        HeldImage held(*this);
        ShownBitmap bitmap(held.get());
        if (bitmap.get() && timer->start(bitmap.get(), hwnd))
            return;
    }
    services.program.warn(mainWindow(), Messages::E0019.get());
}
