// The main window's toolbar: the buttons of adding, releasing and converting, the six output formats and the
// two settings sheets, with pictures from the system's icons where the display has the colours for them.
#include "foundation/Application.h"
#include "foundation/LoadedLibrary.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "toolkit/ImageListGenerator.h"

namespace {

constexpr int ImageSize = 24;
constexpr UINT OwnStrip = 128;
// The same pictures in 256 colours.
constexpr UINT OwnStripFewColours = 129;
constexpr int OwnStripImages = 8;

struct ToolButton {
    int image;
    int command;
    BYTE style;
    UINT tip;
};

constexpr BYTE Separator = BTNS_SEP;
constexpr BYTE Button = BTNS_BUTTON;
constexpr BYTE FormatCheck = BTNS_CHECKGROUP;

// In toolbar order, with the string of each tip. The first three images are the common controls' standard
// ones (open, delete, save), the others cells of the program's strip.
constexpr ToolButton Buttons[] = {
    {STD_FILEOPEN, IDM_ADD_FILES, Button, IDS_ADD_FILES_TIP},
    {STD_DELETE, IDM_RELEASE_SELECTED, Button, IDS_RELEASE_FILES_TIP},
    {0, 0, Separator, 0},
    {STD_FILESAVE, IDM_CONVERT_ALL, Button, IDS_CONVERT_ALL_TIP},
    {0, 0, Separator, 0},
    {0, IDM_FORMAT_JPEG, FormatCheck, IDS_JPEG_TIP},
    {1, IDM_FORMAT_GIF, FormatCheck, IDS_GIF_TIP},
    {2, IDM_FORMAT_TIFF, FormatCheck, IDS_TIFF_TIP},
    {3, IDM_FORMAT_PNG, FormatCheck, IDS_PNG_TIP},
    {4, IDM_FORMAT_HD_PHOTO, FormatCheck, IDS_HD_PHOTO_TIP},
    {5, IDM_FORMAT_BITMAP, FormatCheck, IDS_BITMAP_TIP},
    {0, 0, Separator, 0},
    {6, IDM_CONVERSION_SETTINGS, Button, IDS_CONVERSION_SHEET},
    {7, IDM_FORMAT_SETTINGS, Button, IDS_FORMAT_SHEET},
};
constexpr int ButtonCount = sizeof(Buttons) / sizeof(Buttons[0]);
// The buttons with standard pictures come first.
constexpr int StandardButtons = 5;

TBBUTTON buttonOf(const ToolButton& entry, int image)
{
    TBBUTTON button{};
    button.iBitmap = entry.style == Separator ? 0 : image;
    button.idCommand = entry.command;
    // As for an empty list: the window makes the toolbar before the list.
    button.fsState = isCommandEnabled(entry.command, ListState{}) ? TBSTATE_ENABLED : 0;
    button.fsStyle = entry.style;
    return button;
}

} // namespace

void MyMainWindow::buildToolbar()
{
    WNDDATA& parts = this->parts();
    if (parts.rebar.getHandle())
        destroyToolbar();
    bool icons = makeIconLists();
    parts.rebar.create(hwnd, RebarId, Rect(), 0, WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CCS_NODIVIDER);
    Toolbar& toolbar = parts.toolbar;
    toolbar.create(parts.rebar.getHandle(), ToolbarId, Rect(), 0, CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN);
    TBBUTTON buttons[ButtonCount];
    if (icons) {
        parts.previousImages = toolbar.setImageList(parts.images.handle());
        parts.previousDisabledImages = toolbar.setDisabledImageList(parts.disabledImages.handle());
        parts.iconListsSet = true;
        int image = 0;
        for (int i = 0; i < ButtonCount; ++i)
            buttons[i] = buttonOf(Buttons[i], Buttons[i].style == Separator ? 0 : image++);
        if (!toolbar.addButtons(ButtonCount, buttons))
            Exception::throwLastError();
    } else {
        toolbar.setBitmapSize(ImageSize, ImageSize);
        toolbar.addBitmap(TBADDBITMAP{HINST_COMMCTRL, IDB_STD_LARGE_COLOR});
        HMODULE module = services.program.getResourceModule();
        UINT strip = displayBitsPerPixel() <= 8 ? OwnStripFewColours : OwnStrip;
        int first = toolbar.addBitmap(TBADDBITMAP{reinterpret_cast<HINSTANCE>(module), strip});
        if (first < 0)
            Exception::throwLastError();
        for (int i = 0; i < ButtonCount; ++i)
            buttons[i] = buttonOf(Buttons[i], Buttons[i].image + (i < StandardButtons ? 0 : first));
        if (!toolbar.addButtons(ButtonCount, buttons))
            Exception::throwLastError();
    }
    toolbar.autoSize();
    REBARBANDINFOW band{};
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = toolbar.getHandle();
    band.cyMinChild = static_cast<UINT>(toolbar.buttonHeight());
    band.cxMinChild = 0;
    if (!parts.rebar.insertBand(band))
        Exception::throwLastError();
    if (!services.setting.viewToolbar) {
        toolbar.hide();
        parts.rebar.hide();
    }
    addToolbarTips();
    refreshToolbar();
}

// The system's pictures for the first three buttons when the display shows more than 256 colours, then the
// program's own; false (bitmaps are used) when any of them cannot be had.
bool MyMainWindow::makeIconLists()
{
    WNDDATA& parts = this->parts();
    if (displayBitsPerPixel() <= 8)
        return false;
    LoadedLibrary shell = LoadedLibrary::fromSystemFolder(L"shell32.dll");
    if (!shell.get())
        return false;
    try {
        ImageListGenerator generator(ImageSize);
        LoadedLibrary icons = LoadedLibrary::fromSystemFolder(L"imageres.dll");
        if (icons.get()) {
            for (int id : {4, 240, 16761})
                generator.addIcon(icons.get(), MAKEINTRESOURCEW(id));
        } else {
            generator.addBitmapStrip(shell.get(), MAKEINTRESOURCEW(214), {12, 10, 13});
        }
        std::vector<int> own;
        for (int i = 0; i < OwnStripImages; ++i)
            own.push_back(i);
        generator.addBitmapStrip(services.program.getResourceModule(), MAKEINTRESOURCEW(OwnStrip), own);
        generator.generate(parts.images, parts.disabledImages);
        return true;
    } catch (const Exception&) {
        parts.images.destroyList();
        parts.disabledImages.destroyList();
        return false;
    }
}

void MyMainWindow::addToolbarTips()
{
    WNDDATA& parts = this->parts();
    Toolbar& toolbar = parts.toolbar;
    parts.toolbarTips.create(hwnd, WS_POPUP | TTS_ALWAYSTIP);
    HMODULE module = services.program.getResourceModule();
    for (int i = 0; i < ButtonCount; ++i) {
        if (Buttons[i].style == Separator)
            continue;
        RECT area{};
        toolbar.getItemRect(i, area);
        parts.toolbarTips.addRectTool(toolbar.getHandle(), static_cast<UINT_PTR>(Buttons[i].command), area, module,
                                      MAKEINTRESOURCEW(Buttons[i].tip));
    }
    toolbar.setToolTips(parts.toolbarTips.getHandle());
}

void MyMainWindow::updateToolbar()
{
    if (!getHandle() || !data || !pane().getHandle())
        return;
    ListState state = pane().listState();
    Toolbar& toolbar = parts().toolbar;
    for (const ToolButton& button : Buttons) {
        if (button.style == Button)
            toolbar.enableButton(button.command, isCommandEnabled(button.command, state));
    }
    toolbar.checkButton(formatIndexToCommandId(pane().getFormat()), true);
}

void MyMainWindow::restoreToolbarImages()
{
    WNDDATA& parts = this->parts();
    if (!parts.iconListsSet)
        return;
    if (parts.toolbar.getHandle()) {
        parts.toolbar.setImageList(parts.previousImages);
        parts.toolbar.setDisabledImageList(parts.previousDisabledImages);
    }
    parts.previousImages = nullptr;
    parts.previousDisabledImages = nullptr;
    parts.iconListsSet = false;
}

void MyMainWindow::destroyToolbar()
{
    WNDDATA& parts = this->parts();
    restoreToolbarImages();
    parts.toolbarTips.destroy();
    parts.rebar.destroy();
    parts.images.destroyList();
    parts.disabledImages.destroyList();
}
