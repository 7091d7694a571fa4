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
    bind(folderTree, IDC_SAVE_FOLDER_TREE);
    folderTree.subclass();
}

void SavePage::exchange(PageExchange& x, AppSetting& s)
{
    x.check(IDC_SAVE_INIT_FOLDER, s.fileInitFolder);
    // The tree tells of every new selection.
    x.watch(IDC_SAVE_FOLDER_TREE, 0);
    if (x.isFilling())
        showFolder(s.fileFolder);
    else
        s.fileFolder = selectedFolder();
    x.check(IDC_SAVE_SOURCE_FOLDER, s.fileSaveSrcFolder);
}

void SavePage::showFolder(const wstring& folder)
{
    HWND tree = folderTree.getTree();
    SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    if (isWindowsVistaOrLater())
        SetWindowTheme(tree, L"explorer", nullptr);
    folderTree.setPath(ComputerFolder);
    folderTree.expand(folderTree.getRoot());
    // The tree would stand in the nearest folder still there for one deleted since, and OK would store
    // that folder, which the user never chose: a folder that is gone leaves the tree at the computer folder.
    if (!isDirectory(folder))
        return;
    // A folder the tree cannot show leaves it there too; the page still opens.
    try {
        folderTree.selectPath(folder);
    } catch (const Exception&) {
    }
}

wstring SavePage::selectedFolder()
{
    HTREEITEM selected = folderTree.getSelection();
    return selected ? folderTree.getItemFileSystemPath(selected) : wstring();
}

void SavePage::command(int id, int code)
{
    if (code != BN_CLICKED || id == IDC_SAVE_FOLDER_TREE)
        return;
    bool besideSources = isChecked(IDC_SAVE_SOURCE_FOLDER);
    enableItems({IDC_SAVE_INIT_FOLDER}, !besideSources);
    enableItems({IDC_SAVE_FOLDER_TREE}, isChecked(IDC_SAVE_INIT_FOLDER) && !besideSources);
}
