#include "pages/SavePage.h"
#include <uxtheme.h>
#include "foundation/Environment.h"
#include "foundation/FileSystem.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"

namespace {

constexpr wchar_t ComputerFolder[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

} // namespace

bool SavePage::ShlTreeViewNotify::onNotify(const NMHDR& header, LRESULT&)
{
    if (header.code == TVN_SELCHANGEDW && header.idFrom == InnerTreeId)
        notifyParent(hwnd, 0);
    // The tree itself still follows its selection.
    return false;
}

SavePage::SavePage() : SettingPage(IDC_SAVE_SOURCE_FOLDER)
{
}

void SavePage::bindControls()
{
    bind(initFolder, IDC_SAVE_INIT_FOLDER);
    bind(folderTree, IDC_SAVE_FOLDER_TREE);
    folderTree.subclass();
    bind(sourceFolder, IDC_SAVE_SOURCE_FOLDER);
}

void SavePage::fill(const AppSetting& setting)
{
    HWND tree = folderTree.getTree();
    SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    if (isWindowsVistaOrLater())
        SetWindowTheme(tree, L"explorer", nullptr);
    initFolder.setCheck(setting.fileInitFolder);
    folderTree.setPath(ComputerFolder);
    folderTree.expand(folderTree.getRoot());
    // The tree would stand in the nearest folder still there for one deleted since, and OK would store
    // that folder, which the user never chose: a folder that is gone leaves the tree at the computer folder.
    if (isDirectory(setting.fileFolder)) {
        // A folder the tree cannot show leaves it there too; the page still opens.
        try {
            folderTree.selectPath(setting.fileFolder);
        } catch (const Exception&) {
        }
    }
    sourceFolder.setCheck(setting.fileSaveSrcFolder);
}

void SavePage::apply(AppSetting& setting)
{
    setting.fileInitFolder = initFolder.getCheck();
    setting.fileFolder = wstring();
    if (HTREEITEM selected = folderTree.getSelection())
        setting.fileFolder = folderTree.getItemFileSystemPath(selected);
    setting.fileSaveSrcFolder = sourceFolder.getCheck();
}

void SavePage::command(int id, int code)
{
    switch (id) {
    case IDC_SAVE_FOLDER_TREE:
        break;
    case IDC_SAVE_SOURCE_FOLDER:
        if (code != BN_CLICKED)
            return;
        initFolder.enable(!sourceFolder.getCheck());
        [[fallthrough]];
    case IDC_SAVE_INIT_FOLDER:
        if (code != BN_CLICKED)
            return;
        folderTree.enable(initFolder.getCheck() && !sourceFolder.getCheck());
        break;
    default:
        return;
    }
    setChanged();
}
