#include "mainwindow/FileListMenu.h"
#include "foundation/Application.h"
#include "foundation/Path.h"
#include "imaging/Dib.h"
#include "mainwindow/commandStates.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowStrings.h"
#include "settings/AppSetting.h"
#include "toolkit/PopMenu.h"

namespace {

// The context menu's items from top to bottom: the index of the text in IDS_LIST_MENU, or a separator (-1),
// or the viewer submenu (-2).
struct ContextItem {
    int command;
    int text;
};
constexpr int Separator = -1;
constexpr int ViewerSubmenu = -2;
constexpr ContextItem ContextItems[] = {
    {IDM_CLEAR_LIST, 0},
    {IDM_ADD_FILES, 1},
    {IDM_RELEASE_SELECTED, 2},
    {0, Separator},
    {IDM_CONVERT_ALL, 3},
    {IDM_CONVERT_SELECTED, 4},
    {0, Separator},
    {IDM_START_EXPLORER, 5},
    {0, Separator},
    {IDM_PREVIEW_WINDOWS, 6},
    {IDM_CONVERTED_PREVIEW_WINDOWS, 7},
    {0, ViewerSubmenu},
    {0, Separator},
    {IDM_SELECT_ALL, 8},
    {0, Separator},
    {IDM_PICTURE_PROPERTIES, 9},
};
constexpr int ContextTextCount = 10;

// The viewer's icon drawn on the menu's colour, for the menu item's picture.
std::unique_ptr<Dib> iconPicture(HICON icon)
{
    int width = GetSystemMetrics(SM_CXSMICON);
    int height = GetSystemMetrics(SM_CYSMICON);
    auto picture = std::make_unique<Dib>();
    if (!picture->create(width, height, 24, GetSysColor(COLOR_MENU)))
        return nullptr;
    HDC dc = picture->getDC();
    DrawIconEx(dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    picture->releaseDC();
    return picture;
}

} // namespace

void FileListMenu::show(POINT at, HWND owner, const ListState& state, const wstring& picture)
{
    wstringArray texts;
    texts.splitResourceString(services.program.getResourceModule(), IDS_LIST_MENU, L"/");
    if (texts.count() < ContextTextCount)
        Exception::throwInvalidArgument();
    PopMenu menu;
    if (!menu.createPopup())
        Exception::throwLastError();
    // The pictures of the viewer entries live until the menu has closed.
    std::vector<std::unique_ptr<Dib>> pictures;
    for (const ContextItem& item : ContextItems) {
        if (item.text == Separator) {
            AppendMenuW(menu.handle(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (item.text == ViewerSubmenu) {
            HMENU viewers = CreatePopupMenu();
            if (!viewers)
                Exception::throwLastError();
            fillViewers(viewers, picture, pictures);
            UINT viewerState = isViewerMenuEnabled(state) ? MF_ENABLED : MF_GRAYED;
            AppendMenuW(menu.handle(), MF_POPUP | viewerState, reinterpret_cast<UINT_PTR>(viewers),
                        services.program.loadString(IDS_VIEWER_MENU).buffer());
            continue;
        }
        bool enabled = isCommandEnabled(item.command, state);
        AppendMenuW(menu.handle(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), item.command,
                    texts.at(item.text).buffer());
    }
    TrackPopupMenu(menu.handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

void FileListMenu::fillViewers(HMENU menu, const wstring& picture, std::vector<std::unique_ptr<Dib>>& pictures)
{
    while (GetMenuItemCount(menu) > 0)
        DeleteMenu(menu, 0, MF_BYPOSITION);
    if (picture.isEmpty())
        return;
    wstring extension = Path(picture).getExtension(true);
    const ViewerEntries& viewers = services.setting.applications;
    IntArray found;
    viewers.findByExtension(extension, found);
    GenericArray<int>& indexes = found.getValues();
    for (int i = 0; i < indexes.count(); ++i) {
        int index = indexes.at(i);
        UINT id = static_cast<UINT>(IDM_FIRST_VIEWER + index);
        AppendMenuW(menu, MF_STRING, id, viewers.at(index).name.buffer());
        HICON icon = viewers.getIcon(index);
        if (!icon)
            continue;
        std::unique_ptr<Dib> picture = iconPicture(icon);
        DestroyIcon(icon);
        if (!picture)
            continue;
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_BITMAP;
        item.hbmpItem = picture->getBitmap();
        SetMenuItemInfoW(menu, id, FALSE, &item);
        pictures.push_back(std::move(picture));
    }
}
