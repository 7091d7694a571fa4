#include <gtest/gtest.h>
#include <string>
#include "PageTesting.h"
#include "mainwindow/mainWindowMessages.h"
#include "pages/EnvironmentSheet.h"
#include "pages/PrevPage.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"
#include "support/DragData.h"
#include "support/PictureFolder.h"
#include "toolkit/FileDropHandler.h"
#include "toolkit/ShlTreeView.h"

namespace {

constexpr wchar_t EnvironmentSheetCaption[] = L"環境設定";
enum Tab { PreviewTab, SaveTab, ThumbnailTab, SplitTab, MovieTab, OtherTab };

std::wstring textOf(HWND page, int id)
{
    wchar_t text[1024] = L"";
    GetDlgItemTextW(page, id, text, 1024);
    return text;
}

// What the folder tree of the save page has selected, as a file-system path.
std::wstring selectedFolder(HWND page)
{
    HWND tree = GetDlgItem(GetDlgItem(page, IDC_SAVE_FOLDER_TREE), 101);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item)
        return {};
    TVITEMW read{};
    read.mask = TVIF_PARAM;
    read.hItem = item;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
    // The record's first field after the attributes and flag is the item's absolute list.
    wchar_t path[MAX_PATH] = L"";
    SHGetPathFromIDListW(reinterpret_cast<ShlTreeView::TreeItemData*>(read.lParam)->idList, path);
    return path;
}

// The user drags the item to the point of the window (client coordinates) and lets go there; the effect the
// target gave. Other test programs may share the screen: the window is put on top of theirs first.
DWORD dragTo(IDataObject* data, HWND window, int x, int y)
{
    OleInitialize(nullptr);
    SetWindowPos(GetAncestor(window, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    POINT point{x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    DropAtOnce source;
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data, &source, DROPEFFECT_COPY, &effect);
    OleUninitialize();
    return effect;
}

class EnvironmentPagesTest : public PageTest {
protected:
    // The other-options page takes drops from the shell.
    EnvironmentPagesTest() { OleInitialize(nullptr); }
    ~EnvironmentPagesTest() override { OleUninitialize(); }

    // The sheet over the main window while the script runs; it gets the sheet.
    void runSheet(const std::function<void(WindowRobot&, HWND)>& script)
    {
        WindowRobot robot([&](WindowRobot& user) {
            HWND sheet = user.waitForWindow(WindowQuery::dialog(EnvironmentSheetCaption));
            script(user, sheet);
            user.waitUntilGone(sheet);
        });
        openEnvironmentSheet(mainWindow.handle(), pictures);
        robot.finish();
    }
    // Hears of a new preview background.
    CountingMainWindow mainWindow{PreviewBackgroundMessage};
};

} // namespace

TEST_F(EnvironmentPagesTest, PreviewPageShowsTheRecordAndAnnouncesOnlyANewBackground)
{
    setting.viewPreviewBack = 0;
    setting.viewPreviewUseTransparent = true;
    setting.viewPreviewTransparent = 35;
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = showPage(user, sheet, PreviewTab);
        ASSERT_EQ(itemCount(page, IDC_PREV_BACK), 7);
        EXPECT_EQ(itemText(page, IDC_PREV_BACK, 0), L"なし");
        EXPECT_EQ(itemText(page, IDC_PREV_BACK, 6), L"Gray");
        EXPECT_TRUE(enabledAre(page, {IDC_PREV_TRANSPARENT_LABEL, IDC_PREV_TRANSPARENT, IDC_PREV_PERCENT}, true));
        choose(page, IDC_PREV_BACK, 6);
        user.screenshot(sheet, L"environment_preview");
        click(page, IDC_PREV_USE_TRANSPARENT);
        EXPECT_TRUE(enabledAre(page, {IDC_PREV_TRANSPARENT_LABEL, IDC_PREV_TRANSPARENT, IDC_PREV_PERCENT}, false));
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(mainWindow.count(), 1);
    EXPECT_EQ(setting.viewPreviewTransparent, 35) << "written from the disabled field";
    EXPECT_EQ(setting.windowIndexSetting, PreviewTab);

    runSheet([&](WindowRobot& user, HWND sheet) {
        showPage(user, sheet, PreviewTab);
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(mainWindow.count(), 1) << "an untouched background is not announced";
}

TEST_F(EnvironmentPagesTest, ABackgroundOutsideTheListClosesTheSheetUnapplied)
{
    setting.viewPreviewBack = 7;
    setting.viewPreviewInitWidth = 500;
    // The sheet closes before the user could do anything.
    WindowRobot robot([](WindowRobot&) {});
    openEnvironmentSheet(mainWindow.handle(), pictures);
    robot.finish();
    EXPECT_EQ(setting.viewPreviewBack, 7);
    EXPECT_EQ(setting.viewPreviewInitWidth, 500);
    EXPECT_EQ(mainWindow.count(), 0);
}

TEST_F(EnvironmentPagesTest, SavePageSelectsTheStoredFolderOnlyWhileItExists)
{
    PictureFolder folders(L"korvilane-savepage");
    std::wstring kept = folders.folder(L"kept");
    setting.fileInitFolder = true;
    setting.fileFolder = kept.c_str();
    setting.windowIndexSetting = SaveTab;
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        // The page opens while the tree is still being filled.
        user.waitUntil([&] { return selectedFolder(page) == kept; }, L"the stored folder");
        EXPECT_TRUE(enabledAre(page, {IDC_SAVE_INIT_FOLDER, IDC_SAVE_FOLDER_TREE}, true));
        user.screenshot(sheet, L"environment_save");
        HWND tree = GetDlgItem(GetDlgItem(page, IDC_SAVE_FOLDER_TREE), 101);
        auto selected = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        auto parent = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(selected));
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, parent);
        EXPECT_TRUE(isEnabled(sheet, ApplyButtonId)) << "another folder is a change";
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
        click(page, IDC_SAVE_SOURCE_FOLDER);
        EXPECT_TRUE(enabledAre(page, {IDC_SAVE_INIT_FOLDER, IDC_SAVE_FOLDER_TREE}, false));
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(setting.fileInitFolder) << "kept from the disabled box";
    EXPECT_TRUE(setting.fileSaveSrcFolder);
    EXPECT_EQ(std::wstring(setting.fileFolder.buffer()), kept);
    EXPECT_EQ(setting.windowIndexSetting, SaveTab);

    setting.fileFolder = (kept + L"\\deleted\\since").c_str();
    setting.fileSaveSrcFolder = false;
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        // The sheet shows the page once it has filled it.
        user.waitUntil([&] { return IsWindowVisible(page) != FALSE; }, L"the page shown");
        EXPECT_EQ(selectedFolder(page), L"") << "a folder deleted since leaves the tree at the computer folder";
        click(page, IDC_SAVE_INIT_FOLDER);
        EXPECT_TRUE(isEnabled(page, IDC_SAVE_INIT_FOLDER) && !isEnabled(page, IDC_SAVE_FOLDER_TREE));
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(setting.fileFolder.isEmpty()) << "not its parent, which the user never chose";
    EXPECT_FALSE(setting.fileInitFolder);

    setting.fileFolder = L"Q:\\no such drive";
    runSheet([&](WindowRobot& user, HWND sheet) { user.press(sheet, IDOK); });
    EXPECT_TRUE(setting.fileFolder.isEmpty()) << "nothing selected stores no folder";
}

TEST_F(EnvironmentPagesTest, ThumbnailPageKeepsColumnsAndImageNamesOfDisabledFields)
{
    setting.fileThumbnailType = 1;
    setting.fileThumbnailCharset = L"sjis";
    setting.fileThumbnailCols = 7;
    setting.fileThumbnailImage = true;
    setting.fileThumbnailImageFolder = L"thumbs";
    setting.fileThumbnailImageFile = L"t";
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = showPage(user, sheet, ThumbnailTab);
        EXPECT_EQ(itemText(page, IDC_THUMB_TYPE, 5), L"垂直結合");
        EXPECT_EQ(selectionOf(page, IDC_THUMB_CHARSET), 1);
        EXPECT_TRUE(enabledAre(page, {IDC_THUMB_COLS_LABEL, IDC_THUMB_COLS, IDC_THUMB_FOLDER, IDC_THUMB_FILE}, true));
        user.screenshot(sheet, L"environment_thumbnail");
        for (int kind : {1, 4, 5}) {
            choose(page, IDC_THUMB_TYPE, kind);
            EXPECT_TRUE(enabledAre(page, {IDC_THUMB_COLS_LABEL, IDC_THUMB_COLS}, false)) << kind;
        }
        choose(page, IDC_THUMB_TYPE, 3);
        EXPECT_TRUE(enabledAre(page, {IDC_THUMB_COLS_LABEL, IDC_THUMB_COLS}, true));
        choose(page, IDC_THUMB_TYPE, 4);
        user.type(page, IDC_THUMB_TITLE, std::wstring(300, L'題'));
        user.type(page, IDC_THUMB_FOLDER, std::wstring(300, L'f'));
        click(page, IDC_THUMB_IMAGE);
        EXPECT_TRUE(enabledAre(page,
                               {IDC_THUMB_FOLDER_LABEL, IDC_THUMB_FOLDER, IDC_THUMB_FILE_LABEL, IDC_THUMB_FILE,
                                IDC_THUMB_SERIAL_LABEL, IDC_THUMB_OVERWRITE},
                               false));
        EXPECT_TRUE(isEnabled(page, IDC_THUMB_OPEN_FILE));
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(std::wstring(setting.fileThumbnailCharset.buffer()), L"Shift_JIS");
    EXPECT_EQ(setting.fileThumbnailCols, 7) << "kept from the disabled field";
    EXPECT_EQ(setting.fileThumbnailImageFolder.length(), 259);
    EXPECT_EQ(std::wstring(setting.fileThumbnailImageFile.buffer()), L"t");
    EXPECT_EQ(setting.fileThumbnailTitle.length(), 259);

    for (const wchar_t* other : {L"utf-16", L"jis", L"euc-jp"}) {
        setting.fileThumbnailCharset = other;
        runSheet([&](WindowRobot& user, HWND sheet) {
            showPage(user, sheet, ThumbnailTab);
            user.press(sheet, IDOK);
        });
        EXPECT_EQ(std::wstring(setting.fileThumbnailCharset.buffer()),
                  std::wstring(other) == L"euc-jp" ? L"euc-jp" : L"utf-8")
            << other;
    }
}

TEST_F(EnvironmentPagesTest, MoviePageKeepsTheColourTickOfItsDisabledBoxAndHundredthsOfASecond)
{
    setting.fileAnimeGifAssignTransparent = true;
    setting.fileAnimeGifAssignTransparentColor = true;
    runSheet([&](WindowRobot& user, HWND sheet) {
        showPage(user, sheet, SplitTab);
        user.screenshot(sheet, L"environment_split");
        HWND movie = showPage(user, sheet, MovieTab);
        EXPECT_TRUE(enabledAre(movie, {IDC_ANIME_ASSIGN_COLOR, IDC_ANIME_SWATCH, IDC_ANIME_CHOOSE_COLOR}, true));
        user.screenshot(sheet, L"environment_movie");
        click(movie, IDC_ANIME_TRANSPARENT);
        EXPECT_TRUE(enabledAre(movie, {IDC_ANIME_ASSIGN_COLOR, IDC_ANIME_SWATCH, IDC_ANIME_CHOOSE_COLOR}, false));
        user.press(sheet, IDOK);
    });
    EXPECT_TRUE(setting.fileAnimeGifAssignTransparentColor) << "kept from the disabled box";
    EXPECT_EQ(setting.windowIndexSetting, MovieTab);

    for (auto [typed, stored] : {std::pair{L"0", 1}, std::pair{L"0.01", 1}, std::pair{L"655.35", 65535}}) {
        runSheet([&](WindowRobot& user, HWND sheet) {
            HWND movie = showPage(user, sheet, MovieTab);
            typeNumber(user, movie, IDC_ANIME_ELAPSE, typed);
            user.press(sheet, IDOK);
        });
        EXPECT_EQ(setting.fileAnimeGifElapse, stored) << typed;
    }
}

TEST_F(EnvironmentPagesTest, OtherOptionsPageTakesAFileDroppedOnTheLayoutFieldOnly)
{
    PictureFolder files(L"korvilane-etcpage");
    files.file(L"first.lay", 1);
    files.file(L"second.lay", 1);
    setting.fileOpenLayout = false;
    setting.fileLayout = L"old.lay";
    setting.fileOverWrite = false;
    setting.fileAutoRename = true;
    setting.windowIndexSetting = OtherTab;
    DWORD outside = DROPEFFECT_COPY;
    DWORD inside = DROPEFFECT_NONE;
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = currentPage(sheet);
        user.waitForItem(page, IDC_ETC_LAYOUT);
        EXPECT_TRUE(enabledAre(page, {IDC_ETC_LAYOUT_LABEL, IDC_ETC_CHOOSE_LAYOUT, IDC_ETC_LAYOUT}, false));
        EXPECT_TRUE(isEnabled(page, IDC_ETC_AUTO_RENAME));
        user.screenshot(sheet, L"environment_other");
        click(page, IDC_ETC_OPEN_LAYOUT);
        user.press(sheet, ApplyButtonId);
        user.waitUntil([&] { return !isEnabled(sheet, ApplyButtonId); }, L"the apply");

        ComPtr<IDataObject> data(shellDataObjectOf(files.path(), {L"first.lay", L"second.lay"}));
        ASSERT_NE(data.get(), nullptr);
        RECT box;
        GetWindowRect(GetDlgItem(page, IDC_ETC_KEEP_DPI), &box);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&box), 2);
        outside = dragTo(data.get(), page, box.left + 3, box.top + 3);
        EXPECT_EQ(textOf(page, IDC_ETC_LAYOUT), L"old.lay");
        EXPECT_FALSE(isEnabled(sheet, ApplyButtonId));
        // A program sharing the screen may move the mouse during the drag: the user tries again.
        for (int attempt = 0; attempt < 5 && textOf(page, IDC_ETC_LAYOUT) != files.pathOf(L"first.lay"); ++attempt)
            inside = dragTo(data.get(), GetDlgItem(page, IDC_ETC_LAYOUT), 5, 5);
        EXPECT_EQ(textOf(page, IDC_ETC_LAYOUT), files.pathOf(L"first.lay"));
        EXPECT_TRUE(isEnabled(sheet, ApplyButtonId)) << "a dropped file is a change";

        click(page, IDC_ETC_OVERWRITE);
        EXPECT_FALSE(isEnabled(page, IDC_ETC_AUTO_RENAME));
        EXPECT_TRUE(isChecked(page, IDC_ETC_AUTO_RENAME));
        click(page, IDC_ETC_OPEN_LAYOUT);
        user.press(sheet, IDOK);
    });
    EXPECT_EQ(outside, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(inside, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(std::wstring(setting.fileLayout.buffer()), files.pathOf(L"first.lay")) << "from the disabled field";
    EXPECT_TRUE(setting.fileOverWrite && setting.fileAutoRename);
}

// Another target already holds the other-options page when it registers its own.
FileDropHandler* squatter = nullptr;

LRESULT CALLBACK registerBeforeThePage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        auto* creation = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!IS_INTRESOURCE(creation->lpszName) && std::wstring(creation->lpszName) == L"その他")
            squatter->registerFor(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(EnvironmentPagesTest, APageThatCannotTakeDropsClosesTheSheetUnapplied)
{
    squatter = new FileDropHandler(nullptr);
    HHOOK hook = SetWindowsHookExW(WH_CBT, registerBeforeThePage, nullptr, GetCurrentThreadId());
    setting.windowIndexSetting = PreviewTab;
    setting.fileOverWrite = false;
    runSheet([&](WindowRobot& user, HWND sheet) {
        HWND page = showPage(user, sheet, PreviewTab);
        click(page, IDC_PREV_SHOW_HINTS);
        SendMessageW(sheet, PSM_SETCURSEL, OtherTab, 0);
    });
    UnhookWindowsHookEx(hook);
    EXPECT_NE(squatter->registeredWindow(), nullptr) << "the page was made";
    squatter->revoke();
    squatter->Release();
    EXPECT_FALSE(setting.viewPreviewShowHints) << "nothing is applied";
    EXPECT_EQ(setting.windowIndexSetting, PreviewTab);
}
