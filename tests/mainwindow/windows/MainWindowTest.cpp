// The main window made by the application object as the program makes it, in this test program's process.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>
#include "MainWindowTesting.h"
#include "foundation/FileHandle.h"
#include "foundation/Path.h"
#include "mainwindow/LayoutFile.h"
#include "mainwindow/MyApp.h"
#include "mainwindow/MyMainWindow.h"
#include "mainwindow/OptionSheets.h"
#include "mainwindow/PictureProperties.h"
#include "mainwindow/PreviewWindow.h"
#include "mainwindow/mainCommandIds.h"
#include "mainwindow/mainWindowMessages.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "support/ComTesting.h"
#include "support/GlobalApplication.h"
#include "support/Screenshot.h"
#include "support/SmallDisk.h"
#include "support/WindowRobot.h"
#include "support/fileBytes.h"

namespace {

constexpr UINT32 Colours[] = {0xFF2060C0, 0xFFE08020, 0xFF30A050};

bool isGrayed(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

bool isChecked(HMENU menu, UINT id)
{
    return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

class MainWindowTest : public GdiplusTest {
protected:
    void SetUp() override
    {
        GdiplusTest::SetUp();
        OleInitialize(nullptr);
        application = std::make_unique<MyApp>();
        global = std::make_unique<GlobalApplication>(*application);
        adjust(application->getSetting());
        ASSERT_NO_THROW(application->openWindows(true));
        window = application->getMainWindowObject();
        main = application->getMainWindow();
        // The start-up files that the window posts itself.
        ASSERT_TRUE(pumpPostedMessages());
    }

    void TearDown() override
    {
        setOptionSheets(OptionSheets());
        application->closeWindows();
        // The quit message of the closed window is nobody's to read.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        global.reset();
        application.reset();
        OleUninitialize();
    }

    // The settings the window starts with.
    virtual void adjust(AppSetting&) {}

    // The pictures listed through the list's feeder, as every add is.
    std::vector<std::wstring> listPictures(int count)
    {
        std::vector<std::wstring> paths;
        wstringArray added;
        for (int i = 0; i < count; ++i) {
            paths.push_back(folder.file(L"picture" + std::to_wstring(pictureNumber++) + L".png"));
            writeSolidPicture(paths.back(), Colours[i % 3]);
            added.add(paths.back().c_str());
        }
        int before = pane().list().count();
        pane().addPaths(added, false, false);
        EXPECT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding() && pane().list().count() == before + count; }));
        return paths;
    }

    // Files of a picture type that are only listed, never opened, so they need no picture inside; named by
    // number in a folder of their own.
    void listableFiles(const std::wstring& name, int count, wstringArray& paths)
    {
        std::wstring many = folder.file(name);
        CreateDirectoryW(many.c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            std::wstring path = many + L"\\p" + std::to_wstring(i) + L".png";
            CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            paths.add(path.c_str());
        }
    }

    // Exactly these items selected, as clicks would leave them, and the preview that the change posts handled.
    void select(std::initializer_list<int> items)
    {
        HWND list = GetDlgItem(pane().getHandle(), 101);
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        for (int item : items)
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
        EXPECT_TRUE(pumpPostedMessages());
    }

    // One more item selected, as a Ctrl+click leaves it, and the preview that the change posts handled.
    void addToSelection(int item)
    {
        HWND list = GetDlgItem(pane().getHandle(), 101);
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED;
        state.state = LVIS_SELECTED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
        EXPECT_TRUE(pumpPostedMessages());
    }

    void command(int id) { SendMessageW(main, WM_COMMAND, static_cast<WPARAM>(id), 0); }

    HMENU initMenu()
    {
        HMENU menu = GetMenu(main);
        SendMessageW(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
        return menu;
    }

    // The View menu as the user sees it, with the states that the window gave it, into a screenshot.
    void showViewMenu(const std::wstring& screenshot)
    {
        WindowRobot robot([&](WindowRobot& user) {
            user.screenshot(user.waitForWindow(WindowQuery::ofClass(L"#32768")), screenshot);
            PostMessageW(main, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        RECT area{};
        GetWindowRect(main, &area);
        TrackPopupMenu(GetSubMenu(initMenu(), 2), TPM_RETURNCMD, area.left + 60, area.top + 50, 0, main, nullptr);
        robot.finish();
    }

    std::wstring status(int part) { return window->statusText(part).buffer(); }
    MainPane& pane() { return window->pane(); }

    std::unique_ptr<MyApp> application;
    std::unique_ptr<GlobalApplication> global;
    MyMainWindow* window = nullptr;
    HWND main = nullptr;
    ScratchFolder folder{L"korvilane-mainwindow"};
    int pictureNumber = 0;
};

} // namespace

TEST_F(MainWindowTest, StatusBarCountsTheFilesAndTheSelectionAndNamesTheFormat)
{
    EXPECT_EQ(status(0), L"エクスプローラーからドラッグ＆ドロップ");
    EXPECT_EQ(status(1), L"JPEGに変換");
    listPictures(1);
    EXPECT_EQ(status(0), L"1 file");
    listPictures(2);
    select({0});
    EXPECT_EQ(status(0), L"3 files") << "one selected picture is no count of its own";
    select({0, 2});
    EXPECT_EQ(status(0), L"2個のファイルを選択中 (3 files)");
    command(IDM_FORMAT_BITMAP);
    EXPECT_EQ(status(1), L"BMPに変換");
    window->showEscapeHint();
    EXPECT_EQ(status(0), L"ESCで中断");
}

TEST_F(MainWindowTest, AMenuItemsHelpFillsTheStatusBarUntilTheMenuCloses)
{
    HWND bar = GetDlgItem(main, MyMainWindow::StatusbarId);
    const std::wstring clearHelp = L"ファイルリストをクリアします。";
    const std::wstring convertHelp = L"ファイルリストのファイルをすべて変換して保存します。";
    HMENU popup = CreatePopupMenu();
    // The menu bar's, then the context menus of the list and of the preview pane, which hand their help on.
    const std::vector<std::pair<HWND, UINT>> menus = {{main, 4102},
                                                      {GetDlgItem(pane().getHandle(), 101), 4105},
                                                      {window->preview().getHandle(), 4102}};
    for (const auto& [owner, item] : menus) {
        SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(item, MF_HILITE), reinterpret_cast<LPARAM>(popup));
        EXPECT_TRUE(SendMessageW(bar, SB_ISSIMPLE, 0, 0));
        EXPECT_EQ(status(0), item == 4102 ? clearHelp : convertHelp);
        SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        EXPECT_FALSE(SendMessageW(bar, SB_ISSIMPLE, 0, 0)) << "the menu closed";
        EXPECT_EQ(status(1), L"JPEGに変換");
    }
    DestroyMenu(popup);
}

TEST_F(MainWindowTest, MenuStatesFollowTheListTheFormatAndTheView)
{
    HMENU menu = initMenu();
    for (UINT id : {IDM_CLEAR_LIST, IDM_RELEASE_SELECTED, IDM_CONVERT_ALL, IDM_THUMBNAIL_SHEET, IDM_SPLIT_PICTURE,
                    IDM_JOIN_PICTURES, IDM_SAVE_LAYOUT, IDM_COPY_LIST, IDM_SELECT_ALL, IDM_CLOSE_PREVIEW_WINDOWS,
                    IDM_REFRESH_LIST})
        EXPECT_TRUE(isGrayed(menu, id)) << id << " with an empty list";
    EXPECT_TRUE(isGrayed(menu, IDM_DELETE_SETTINGS)) << "no settings file to delete";
    for (UINT id : {IDM_TOGGLE_TOOLBAR, IDM_TOGGLE_STATUSBAR, IDM_TOGGLE_PREVIEW, IDM_PREVIEW_FIT, IDM_PREVIEW_RIGHT,
                    IDM_LIST_PATHS, IDM_FORMAT_JPEG})
        EXPECT_TRUE(isChecked(menu, id)) << id << " by default";
    EXPECT_FALSE(isChecked(menu, IDM_TOGGLE_LOG_WINDOW)) << "the log window starts hidden";
    HMENU fileList = GetSubMenu(GetSubMenu(menu, 2), 5);
    EXPECT_EQ(GetMenuItemCount(fileList), 3) << "the classic list has no content, icon or grouping view";

    listPictures(3);
    select({1});
    menu = initMenu();
    for (UINT id :
         {IDM_RELEASE_SELECTED, IDM_CONVERT_ALL, IDM_SPLIT_PICTURE, IDM_PICTURE_PROPERTIES, IDM_PREVIEW_WINDOWS})
        EXPECT_FALSE(isGrayed(menu, id)) << id << " with one selected";
    for (UINT id : {IDM_JOIN_PICTURES, IDM_MULTI_FRAME_TIFF, IDM_ANIMATED_GIF, IDM_MOVIE, IDM_SCREEN_SAVER})
        EXPECT_TRUE(isGrayed(menu, id)) << id << " needs two pictures";
    select({0, 2});
    menu = initMenu();
    EXPECT_TRUE(isGrayed(menu, IDM_SPLIT_PICTURE));
    EXPECT_FALSE(isGrayed(menu, IDM_SCREEN_SAVER));

    // Both HD Photo formats check the one HD Photo command; Bitmap, index 4, the last one.
    for (auto [format, checked] :
         {std::pair{5, IDM_FORMAT_HD_PHOTO}, {6, IDM_FORMAT_HD_PHOTO}, {4, IDM_FORMAT_BITMAP}, {2, IDM_FORMAT_TIFF}}) {
        pane().setFormat(format);
        EXPECT_TRUE(isChecked(initMenu(), checked)) << "format " << format;
    }
    command(IDM_FORMAT_HD_PHOTO);
    EXPECT_EQ(pane().getFormat(), 5) << "the HD Photo command writes .wdp";
    command(IDM_TOGGLE_STATUSBAR);
    command(IDM_LIST_FILE_NAMES);
    command(IDM_PREVIEW_STRETCH);
    command(IDM_PREVIEW_LEFT);
    menu = initMenu();
    EXPECT_FALSE(isChecked(menu, IDM_TOGGLE_STATUSBAR));
    for (UINT id : {IDM_LIST_FILE_NAMES, IDM_PREVIEW_STRETCH, IDM_PREVIEW_LEFT})
        EXPECT_TRUE(isChecked(menu, id)) << id << " after its command";
}

// Another program, a screenshot tool for one, may put the window in front or back: the menu's check and the
// saved setting follow the window's own style, and the command turns that the other way.
TEST_F(MainWindowTest, AlwaysOnTopFollowsTheWindowsOwnStyleWhoeverChangedIt)
{
    AppSetting& setting = application->getSetting();
    auto inFront = [&] { return (GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    // Where another program puts the window; null for the command.
    for (HWND place : {HWND_TOPMOST, HWND(nullptr), HWND(nullptr), HWND_NOTOPMOST}) {
        bool wanted = place ? place == HWND_TOPMOST : !inFront();
        place ? SetWindowPos(main, place, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE)
              : SendMessageW(main, WM_COMMAND, IDM_ALWAYS_ON_TOP, 0);
        // Wine never gives this window the style: it puts the window's own log window in front instead.
        EXPECT_TRUE(inFront() == wanted || runningUnderWine());
        EXPECT_EQ(isChecked(initMenu(), IDM_ALWAYS_ON_TOP), inFront()) << (place ? "another program" : "the command");
        setting.viewTopMost = !inFront();
        command(IDM_SAVE_SETTINGS);
        EXPECT_EQ(setting.viewTopMost, inFront());
    }
    showViewMenu(L"main-window-always-on-top");
    DeleteFileW(setting.getPath().buffer());
}

TEST_F(MainWindowTest, ToolbarEnablesReleaseAndConvertAndChecksTheFormat)
{
    HWND toolbar = window->parts().toolbar.getHandle();
    EXPECT_EQ(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), 14);
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_RELEASE_SELECTED, 0));
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_CONVERT_ALL, 0));
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, IDM_FORMAT_JPEG, 0));
    listPictures(2);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_CONVERT_ALL, 0));
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_RELEASE_SELECTED, 0));
    select({1});
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_RELEASE_SELECTED, 0));
    command(IDM_FORMAT_PNG);
    EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, IDM_FORMAT_PNG, 0));
    EXPECT_FALSE(SendMessageW(toolbar, TB_ISBUTTONCHECKED, IDM_FORMAT_JPEG, 0));
}

TEST_F(MainWindowTest, ALongListIsSelectedReleasedAndClearedWhole)
{
    wstringArray paths;
    listableFiles(L"many", 3000, paths);
    pane().addPaths(paths, false, false);
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding(); }));
    EXPECT_EQ(status(0), L"3000 files") << "the counts once adding has ended";
    EXPECT_TRUE(IsWindowEnabled(main));
    saveWindowScreenshot(main, L"main-window-long-list");

    HWND list = GetDlgItem(pane().getHandle(), 101);
    command(IDM_SELECT_ALL);
    EXPECT_EQ(status(0), L"3000個のファイルを選択中 (3000 files)");
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2999)
        << "the last one selected keeps the focus";
    command(IDM_RELEASE_SELECTED);
    EXPECT_EQ(pane().list().count(), 0);
    EXPECT_EQ(status(0), L"エクスプローラーからドラッグ＆ドロップ");
    pane().addPaths(paths, false, false);
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding(); }));
    command(IDM_CLEAR_LIST);
    EXPECT_EQ(pane().list().count(), 0);
    EXPECT_EQ(status(0), L"エクスプローラーからドラッグ＆ドロップ");
}

TEST_F(MainWindowTest, ALayoutListsItsFilesAndOneOfAnotherProgramIsRefusedWithItsReason)
{
    wstringArray paths;
    listableFiles(L"layout", 3, paths);
    std::wstring layout = folder.file(L"three.lay");
    writeLayout(layout.c_str(), application->getName(), paths);
    pane().openLayout(layout.c_str());
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding(); }));
    EXPECT_EQ(pane().list().count(), 3);

    std::wstring foreign = folder.file(L"foreign.lay");
    writeLayout(foreign.c_str(), L"another program", paths);
    std::wstring reason;
    try {
        pane().openLayout(foreign.c_str());
    } catch (const ApplicationException& refused) {
        reason = refused.getText();
    }
    EXPECT_EQ(reason, std::wstring(Messages::E0002.get()));
    EXPECT_EQ(pane().list().count(), 3) << "nothing of it is listed";
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(MainWindowTest, WhileFilesAreAddedTheWindowTakesNoInputAndShowsTheWaitCursor)
{
    wstringArray paths;
    listableFiles(L"held", 2000, paths);
    pane().addPaths(paths, false, false);
    EXPECT_FALSE(IsWindowEnabled(main));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding(); }));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(status(0), L"2000 files") << "no file name left behind the counts";
}

TEST_F(MainWindowTest, EscapeHeldWhileAddingAsksWhetherToStopAndYesStops)
{
    wstringArray paths;
    listableFiles(L"escape", 2000, paths);
    std::wstring asked;
    std::atomic<bool> shown{false};
    WindowRobot robot([&](WindowRobot& user) {
        HWND box = user.waitForWindow(WindowQuery::dialog());
        shown = true;
        // Let go before answering, so that the box sees no Escape of its own.
        INPUT release{};
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = VK_ESCAPE;
        release.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(1, &release, sizeof(release));
        user.waitUntil([] { return GetAsyncKeyState(VK_ESCAPE) >= 0; }, L"Escape let go");
        asked = user.answerMessageBox(IDYES, GetWindow(box, GW_OWNER));
    });
    ASSERT_TRUE(pumpMessagesUntil([] { return keyHeld(VK_ESCAPE, true); }));
    pane().addPaths(paths, false, false);
    // Held until the question shows, through the focus change of the new main window too.
    EXPECT_TRUE(pumpMessagesUntil([&] {
        if (!shown)
            keyHeld(VK_ESCAPE, true);
        return !pane().isAdding();
    }));
    robot.finish();
    EXPECT_EQ(asked, std::wstring(Messages::Q0002.get()));
    EXPECT_LT(pane().list().count(), 2000) << "Yes stops the add";
    EXPECT_TRUE(IsWindowEnabled(main));
}

TEST_F(MainWindowTest, KeysPressedInTheListAreTheMainWindowsCommands)
{
    listPictures(3);
    select({1});
    // Delete is the key of "release the selected pictures", which only the main window knows.
    PostMessageW(GetDlgItem(pane().getHandle(), 101), WM_KEYDOWN, VK_DELETE, 0);
    PostQuitMessage(0);
    EXPECT_EQ(application->runMessageLoop(), 0);
    EXPECT_EQ(pane().list().count(), 2);
    EXPECT_EQ(status(0), L"2 files");
}

// A picture that is gone and one that is no picture: Enter and Space in the list say why they cannot be
// shown, as Alt+P does, and the properties say that they cannot be read.
TEST_F(MainWindowTest, WhatCannotBeShownIsToldWhyByTheKeysAsByTheCommands)
{
    std::vector<std::wstring> paths = listPictures(2);
    DeleteFileW(paths[0].c_str());
    writeText(paths[1], "no picture");
    OptionSheets sheets;
    sheets.pictureProperties = [](HWND, PictureProperties&) { ADD_FAILURE() << "a sheet for what cannot be read"; };
    setOptionSheets(sheets);
    // A key pressed in the list, or 0 for the properties command.
    const struct {
        const wchar_t* name;
        int item;
        WPARAM key;
        std::wstring told;
    } attempts[] = {{L"enter-gone", 0, VK_RETURN, L"ファイル " + paths[0] + L" は存在しません。"},
                    {L"space-broken", 1, VK_SPACE, Messages::E0004.get()},
                    {L"properties-broken", 1, 0, Messages::E0008.get()}};
    for (const auto& attempt : attempts) {
        select({attempt.item});
        std::wstring told;
        WindowRobot robot([&](WindowRobot& user) {
            told = user.answerMessageBox(IDOK, main, std::wstring(L"cannot-show-") + attempt.name);
        });
        attempt.key ? SendMessageW(GetDlgItem(pane().getHandle(), 101), WM_KEYDOWN, attempt.key, 0)
                    : SendMessageW(main, WM_COMMAND, IDM_PICTURE_PROPERTIES, 0);
        // A preview window finds out on its loader's thread that the file gives no picture.
        pumpMessagesUntil([&] { return robot.isDone(); });
        robot.finish();
        EXPECT_EQ(told, attempt.told) << attempt.name;
    }
}

TEST_F(MainWindowTest, CopiedNamesFollowTheListsViewMode)
{
    std::vector<std::wstring> paths = listPictures(2);
    std::wstring folderName = Path(folder.file(L"").c_str()).getDirectory().buffer();
    folderName = folderName.substr(0, folderName.size() - 1);
    folderName = folderName.substr(folderName.rfind(L'\\') + 1);
    struct Mode {
        int command;
        std::wstring expected;
    } modes[] = {
        {IDM_LIST_PATHS, paths[0] + L"\r\n" + paths[1] + L"\r\n"},
        {IDM_LIST_FILE_NAMES, L"picture0.png\r\npicture1.png\r\n"},
        {IDM_LIST_COMPACT, L"picture0.png (" + folderName + L")\r\npicture1.png (" + folderName + L")\r\n"},
    };
    for (const Mode& mode : modes) {
        emptyClipboard();
        command(mode.command);
        command(IDM_COPY_LIST);
        EXPECT_EQ(clipboardText(), mode.expected) << mode.command;
    }
}

TEST_F(MainWindowTest, PreviewShowsTheOneSelectedPictureAndKeepsItForASeveralSelection)
{
    std::vector<std::wstring> paths = listPictures(3);
    select({1});
    EXPECT_TRUE(pumpMessagesUntil([&] { return std::wstring(window->previewPath().buffer()) == paths[1]; }));
    addToSelection(0);
    addToSelection(2);
    EXPECT_EQ(std::wstring(window->previewPath().buffer()), paths[1]);
    select({0});
    HWND preview = window->preview().getHandle();
    EXPECT_TRUE(pumpMessagesUntil([&] { return colourAtCentre(preview) == colourOf(Colours[0]); }))
        << "the picture fills the preview, keeping its aspect";
    saveWindowScreenshot(main, L"main-window");
    select({});
    EXPECT_TRUE(window->previewPath().isEmpty());
}

// Whether a converted picture lies beside its source.
bool convertedBeside(const std::wstring& source)
{
    std::wstring written = source.substr(0, source.size() - 3) + L"jpg";
    return GetFileAttributesW(written.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(MainWindowTest, ALastLookCancelledConvertsNothingAndSeesTheFirstPictureAndTheFormat)
{
    std::vector<std::wstring> paths = listPictures(2);
    AppSetting& setting = application->getSetting();
    setting.fileEnsureSetting = true;
    setting.fileSaveSrcFolder = true;
    std::vector<std::wstring> samples;
    std::vector<int> formats;
    OptionSheets sheets;
    sheets.confirmConversion = [&](HWND owner, const wstring& samplePath, int format) {
        EXPECT_EQ(owner, main);
        samples.push_back(samplePath.buffer());
        formats.push_back(format);
        return false;
    };
    setOptionSheets(sheets);
    command(IDM_FORMAT_PNG);
    command(IDM_CONVERT_ALL);
    EXPECT_EQ(samples, std::vector<std::wstring>{paths[0]});
    EXPECT_EQ(formats, std::vector<int>{3});
    for (const std::wstring& path : paths)
        EXPECT_FALSE(convertedBeside(path)) << "converted although the look was cancelled";
}

TEST_F(MainWindowTest, ConvertingTheSelectionWithNoneSelectedAsksNothingAndNoToTheQuestionConvertsNothing)
{
    std::vector<std::wstring> paths = listPictures(2);
    AppSetting& setting = application->getSetting();
    setting.fileEnsureSetting = false;
    setting.fileSaveSrcFolder = true;
    select({});
    WindowRobot robot([&](WindowRobot& user) {
        EXPECT_EQ(user.answerMessageBox(IDNO, main), L"変換元ファイルと同じフォルダーに保存します。\n実行しますか？");
    });
    command(IDM_CONVERT_SELECTED);
    command(IDM_CONVERT_ALL);
    robot.finish();
    for (const std::wstring& path : paths)
        EXPECT_FALSE(convertedBeside(path));
}

TEST_F(MainWindowTest, AClosedConversionSheetRefreshesTheStepsTipOnce)
{
    // As the program's conversion sheets do, the stand-ins tell the main window themselves that they closed.
    OptionSheets sheets;
    sheets.conversion = [](HWND owner, const wstring&) { PostMessageW(owner, SummaryTipMessage, 0, 0); };
    sheets.confirmConversion = [](HWND owner, const wstring&, int) {
        PostMessageW(owner, SummaryTipMessage, 0, 0);
        return false;
    };
    setOptionSheets(sheets);
    auto refreshesWaiting = [&] {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, main, SummaryTipMessage, SummaryTipMessage, PM_REMOVE))
            ++count;
        return count;
    };
    listPictures(1);
    refreshesWaiting();
    command(IDM_CONVERSION_SETTINGS);
    EXPECT_EQ(refreshesWaiting(), 1) << "the conversion settings";
    application->getSetting().fileEnsureSetting = true;
    command(IDM_CONVERT_ALL);
    EXPECT_EQ(refreshesWaiting(), 1) << "the last look before converting";
}

namespace {

constexpr int FileNameField = 0x47c;

// In the file dialog the command opens over the main window: what its name field offered, after typing the
// name (unless empty) and choosing, and agreeing to have the file replaced (replacing).
std::wstring chooseInFileDialog(WindowRobot& user, HWND main, const std::wstring& name, bool replacing = false)
{
    HWND dialog = user.waitForWindow({L"#32770", {}, main});
    HWND field = user.waitForItem(dialog, FileNameField);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0));
    std::wstring offered = user.text(edit);
    if (!name.empty())
        user.type(GetParent(edit), GetDlgCtrlID(edit), name);
    user.press(dialog, IDOK);
    if (replacing)
        user.answerMessageBox(IDYES, dialog);
    user.waitUntilGone(dialog);
    return offered;
}

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

// The list hands its files to the job from the last to the first, so the rule names the last picture after the
// source of the one before it, which is still to be read: the user is asked before it is replaced.
TEST_F(MainWindowTest, ConvertingAsksBeforeReplacingASourceStillToBeRead)
{
    std::vector<std::wstring> paths = listPictures(3);
    std::vector<Bytes> pictures;
    for (const std::wstring& path : paths)
        pictures.push_back(readBytes(path));
    AppSetting& setting = application->getSetting();
    setting.fileEnsureSetting = false;
    setting.fileSaveSrcFolder = true;
    setting.fileOverWrite = true;
    setting.renameEnable = true;
    setting.renameDefinition = L"picture$index.$ext";
    setting.renameIndexBase = 1;
    command(IDM_FORMAT_PNG);
    std::wstring question;
    WindowRobot robot([&](WindowRobot& user) {
        user.answerMessageBox(IDYES, main);
        HWND progress = user.waitForWindow(WindowQuery::dialog(L"保存中"));
        user.screenshot(user.waitForWindow({L"#32770", {}, progress}), L"main-window-source-still-to-be-read");
        question = user.answerMessageBox(IDCANCEL, progress);
        EXPECT_EQ(user.answerMessageBox(IDOK, main), L"中断しました。");
    });
    command(IDM_CONVERT_ALL);
    robot.finish();
    EXPECT_EQ(question, L"ファイル " + paths[1] + L" は既に存在します。\n上書きしますか？");
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(readBytes(paths[i]), pictures[i]) << "every source keeps its own picture";
    EXPECT_FALSE(exists(folder.file(L"picture3.png")));
}

TEST_F(MainWindowTest, LayoutSettingsAndJobFilesAreSavedWhereChosenAndOpenAgainFromTheOfferedName)
{
    listPictures(2);
    auto fileCommand = [&](int id, const std::wstring& name) {
        std::wstring offered;
        WindowRobot robot([&](WindowRobot& user) { offered = chooseInFileDialog(user, main, name); });
        command(id);
        robot.finish();
        return offered;
    };
    // Names without an extension get the one of their command.
    std::wstring layout = folder.file(L"一覧");
    fileCommand(IDM_SAVE_LAYOUT, layout);
    ASSERT_TRUE(exists(layout + L".lay"));
    command(IDM_CLEAR_LIST);
    EXPECT_NE(fileCommand(IDM_OPEN_LAYOUT, {}).find(L"一覧.lay"), std::wstring::npos) << "the layout just saved";
    EXPECT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding() && pane().list().count() == 2; }));

    AppSetting& setting = application->getSetting();
    setting.resizeEnable = true;
    std::wstring settings = folder.file(L"設定");
    fileCommand(IDM_SAVE_SETTINGS_AS, settings);
    ASSERT_TRUE(exists(settings + L".xml"));
    setting.resizeEnable = false;
    EXPECT_NE(fileCommand(IDM_LOAD_SETTINGS, {}).find(L"設定.xml"), std::wstring::npos) << "the settings just saved";
    EXPECT_TRUE(setting.resizeEnable);

    setting.fileOpenFolder = false;
    select({0, 1});
    std::wstring joined = folder.file(L"結合");
    WindowRobot robot([&](WindowRobot& user) {
        chooseInFileDialog(user, main, joined);
        EXPECT_EQ(user.answerMessageBox(IDOK, main), L"完了しました。");
    });
    command(IDM_JOIN_PICTURES);
    robot.finish();
    EXPECT_TRUE(exists(joined + L".png"));
}

TEST_F(MainWindowTest, ImportsAndDeletesThatFailSayWhyAndChangeNothing)
{
    AppSetting& setting = application->getSetting();
    const wstring& name = application->getName();
    std::wstring held = folder.file(L"held.xml");
    setting.trimmingLeft = 5;
    setting.save(name, held.c_str());
    setting.trimmingLeft = 7;
    setting.save(name, nullptr);
    std::wstring settingsFile = setting.getPath().buffer();

    struct Failure {
        const wchar_t* what;
        int command;
        std::wstring file;
        // Written to the file first; without it, another program holds the file without sharing it.
        std::string text;
        DWORD reason;
    };
    const Failure failures[] = {
        {L"damaged", IDM_LOAD_SETTINGS, folder.file(L"damaged.xml"),
         "<Korvilane><Trimming><element name=\"Left\" value=\"5\"/>", ERROR_INVALID_DATA},
        {L"foreign", IDM_LOAD_SETTINGS, folder.file(L"foreign.xml"),
         "<?xml version=\"1.0\"?><layout><item name=\"Left\" value=\"5\"/></layout>", ERROR_INVALID_DATA},
        {L"held", IDM_LOAD_SETTINGS, held, "", ERROR_SHARING_VIOLATION},
        {L"delete", IDM_DELETE_SETTINGS, settingsFile, "", ERROR_SHARING_VIOLATION},
    };
    for (const Failure& failure : failures) {
        if (!failure.text.empty())
            writeText(failure.file, failure.text);
        Bytes before = readBytes(failure.file);
        std::wstring told;
        {
            FileHandle holder(failure.text.empty() ? holdUnshared(failure.file) : INVALID_HANDLE_VALUE);
            WindowRobot robot([&](WindowRobot& user) {
                if (failure.command == IDM_LOAD_SETTINGS)
                    chooseInFileDialog(user, main, failure.file);
                told = user.answerMessageBox(IDOK, main, std::wstring(L"settings-failure-") + failure.what);
            });
            command(failure.command);
            robot.finish();
        }
        EXPECT_EQ(told, Application::getExceptionText(Exception(failure.reason)).buffer()) << failure.what;
        EXPECT_FALSE(told.empty()) << failure.what;
        EXPECT_EQ(setting.trimmingLeft, 7) << failure.what;
        EXPECT_EQ(readBytes(failure.file), before) << failure.what;
    }
    DeleteFileW(settingsFile.c_str());
}

TEST_F(MainWindowTest, SettingsThatAnIniFileCannotHoldAreNotSavedAndTheMessageNamesTheKey)
{
    std::wstring exported = folder.file(L"書き出し.ini");
    AppSetting& setting = application->getSetting();
    setting.textText = L"一行目\r\n二行目";
    setting.save(application->getName(), exported.c_str());
    Bytes before = readBytes(exported);
    // Shorter than a read takes, but each line break takes two characters in the file.
    setting.textText = (std::wstring(1000, L'x') + L"\r\n\r\n\r\n\r\n\r\n\r\n").c_str();
    std::wstring message;
    WindowRobot robot([&](WindowRobot& user) {
        chooseInFileDialog(user, main, exported, true);
        message = user.answerMessageBox(IDOK, main, L"settings-export-refused");
    });
    command(IDM_SAVE_SETTINGS_AS);
    robot.finish();
    EXPECT_EQ(message,
              L"[Text] Text の値は設定ファイルに保存できないため、設定を保存しませんでした。ファイルは元のままです。");
    EXPECT_EQ(readBytes(exported), before);
    EXPECT_EQ(temporaryFilesIn(folder.file(L"")), 0);
}

// Settings, layouts and screen savers are written in the user's temporary folder first: nothing of them is left
// there, whether the save works or fails. A failed save says why and names its file. On a disk that fills up,
// however much room it had, the frame files fail too, by their job and their file, and nothing is left on the
// disk; one that fits is written.
TEST_F(MainWindowTest, SavesLeaveNoCopyBehindAndAFullDiskIsToldByTheFile)
{
    listPictures(2);
    std::wstring noisy[] = {folder.file(L"noisy0.png"), folder.file(L"noisy1.png")};
    wstringArray large;
    for (UINT32 seed = 0; seed < 2; ++seed) {
        BitmapPtr noise(noisyBitmap(800, 600, seed + 1));
        ASSERT_TRUE(gdipSaveToFile(noisy[seed].c_str(), L"image/png", noise.get(), nullptr));
        large.add(noisy[seed].c_str());
    }
    pane().addPaths(large, false, false);
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding() && pane().list().count() == 4; }));
    application->getSetting().fileOpenFolder = false;
    auto named = [](const std::wstring& file, DWORD error, const wchar_t* job = nullptr) {
        return (job ? job + std::wstring(L"\n") : L"") + file + L"\n" +
               Application::getExceptionText(Exception(error)).trimRight().buffer();
    };
    const std::wstring done = Messages::I0001.get(), stopped = Messages::W0004.get();
    struct Save {
        int command;
        std::wstring file;
        bool held; // by another program that shares it with no one
        std::vector<std::wstring> told;
        ULONGLONG room = 0; // left on the small disk
        bool large = false; // the noisy pictures, more than any room takes
    };
    std::wstring settings = folder.file(L"設定.xml"), layout = folder.file(L"一覧.lay"), saver = folder.file(L"a.scr");
    const std::wstring shared = Application::getExceptionText(Exception(ERROR_SHARING_VIOLATION)).buffer();
    // A held file is not replaced, and a held output is found before the work starts.
    std::vector<Save> saves = {{IDM_SAVE_SETTINGS_AS, settings, false, {}},
                               {IDM_SAVE_SETTINGS_AS, settings, true, {named(settings, ERROR_ACCESS_DENIED)}},
                               {IDM_SAVE_LAYOUT, layout, false, {}},
                               {IDM_SAVE_LAYOUT, layout, true, {named(layout, ERROR_ACCESS_DENIED)}},
                               {IDM_SCREEN_SAVER, saver, false, {done}},
                               {IDM_SCREEN_SAVER, saver, true, {shared, stopped}}};
    std::wstring disk = smallDiskFolder();
    std::wstring on = disk + L"\\";
    if (!disk.empty())
        saves.insert(saves.end(),
                     {{IDM_SAVE_SETTINGS_AS, on + L"設定.xml", false, {named(on + L"設定.xml", ERROR_DISK_FULL)}},
                      {IDM_SAVE_LAYOUT, on + L"一覧.lay", false, {named(on + L"一覧.lay", ERROR_DISK_FULL)}},
                      {IDM_SCREEN_SAVER, on + L"a.scr", false, {named(on + L"a.scr", ERROR_DISK_FULL), stopped}}});
    struct FrameJob {
        int command;
        const SimpleString& failure;
        const wchar_t* file;
    };
    const FrameJob frameJobs[] = {{IDM_MULTI_FRAME_TIFF, Messages::E0016, L"a.tif"},
                                  {IDM_MOVIE, Messages::E0017, L"a.avi"},
                                  {IDM_ANIMATED_GIF, Messages::E0020, L"a.gif"}};
    for (const FrameJob& job : frameJobs) {
        if (disk.empty())
            break;
        std::wstring file = on + job.file;
        std::vector<std::wstring> failed = {named(file, ERROR_DISK_FULL, job.failure.get()), stopped};
        for (ULONGLONG room : {0ull, 4096ull, 100 * 1024ull, 1024 * 1024ull})
            saves.push_back({job.command, file, false, failed, room, true});
        saves.push_back({job.command, file, false, {done}, 1024 * 1024});
    }
    wchar_t temporary[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temporary);
    int shots = 0;
    for (const Save& saving : saves) {
        select(saving.large ? std::initializer_list<int>{2, 3} : std::initializer_list<int>{0, 1});
        int before = temporaryFilesIn(temporary);
        Bytes kept = readBytes(saving.file);
        std::vector<std::wstring> told;
        bool onDisk = !disk.empty() && saving.file.starts_with(on);
        {
            FileHandle holder(saving.held ? holdUnshared(saving.file) : INVALID_HANDLE_VALUE);
            std::optional<DiskFiller> filler;
            if (onDisk)
                filler.emplace(disk, saving.room);
            WindowRobot robot([&](WindowRobot& user) {
                chooseInFileDialog(user, main, saving.file, !kept.empty());
                while (told.size() < saving.told.size())
                    told.push_back(user.answerMessageBox(IDOK, nullptr, L"save-" + std::to_wstring(++shots)));
            });
            command(saving.command);
            robot.finish();
        }
        bool written = saving.told.empty() || saving.told[0] == done;
        EXPECT_EQ(told, saving.told) << saving.file << " " << saving.room;
        EXPECT_EQ(readBytes(saving.file) != kept, written) << saving.file;
        EXPECT_EQ(temporaryFilesIn(temporary), before) << saving.file;
        if (onDisk) {
            EXPECT_EQ(filesBesideFiller(disk),
                      written ? std::vector<std::wstring>{saving.file.substr(on.size())} : std::vector<std::wstring>())
                << saving.file << " " << saving.room;
            DeleteFileW(saving.file.c_str());
        }
    }
    if (disk.empty())
        GTEST_SKIP() << "the full disk needs the small disk that the full_disk entry mounts as root";
}

// An INI file can hold a control character, which no XML file can: its import is refused by the key, so that the
// next save writes a settings file that the next start reads.
TEST_F(MainWindowTest, AnImportOfAValueThatTheSettingsFileCannotHoldIsRefusedByItsKey)
{
    std::wstring imported = folder.file(L"読み込み.ini");
    writeText(imported, "[Text]\r\nText=a\001b\r\n");
    AppSetting& setting = application->getSetting();
    std::wstring kept = setting.textText.buffer();
    std::wstring message;
    WindowRobot robot([&](WindowRobot& user) {
        chooseInFileDialog(user, main, imported);
        message = user.answerMessageBox(IDOK, main, L"settings-import-refused");
    });
    command(IDM_LOAD_SETTINGS);
    robot.finish();
    EXPECT_EQ(message,
              L"[Text] Text の値は設定ファイルに保存できないため、設定を読み込みませんでした。設定は元のままです。");
    EXPECT_EQ(setting.textText.buffer(), kept);
    command(IDM_SAVE_SETTINGS);
    AppSetting nextStart;
    nextStart.setSectionsAndPath(setting.getPath());
    nextStart.load(application->getName(), nullptr, GetModuleHandleW(nullptr));
    EXPECT_TRUE(nextStart.getKeptAsideFile().isEmpty());
    DeleteFileW(nextStart.getKeptAsideFile().buffer());
    DeleteFileW(setting.getPath().buffer());
}

TEST_F(MainWindowTest, FormatSheetOpensForThePanesCurrentFormatAndMissingSheetsSaySo)
{
    std::vector<int> formats;
    OptionSheets sheets;
    sheets.format = [&](HWND owner, int format) {
        EXPECT_EQ(owner, main);
        formats.push_back(format);
    };
    setOptionSheets(sheets);
    for (int format : {0, 3, 4, 5, 6}) {
        pane().setFormat(format);
        command(IDM_FORMAT_SETTINGS);
    }
    EXPECT_EQ(formats, (std::vector<int>{0, 3, 4, 5, 6}));

    WindowRobot robot([&](WindowRobot& user) {
        EXPECT_EQ(user.answerMessageBox(IDOK, main), L"この機能はまだ使えません。");
    });
    command(IDM_ENVIRONMENT_SETTINGS);
    robot.finish();
}

TEST_F(MainWindowTest, LogWindowShownTheFirstTimeSitsInTheLowerRightCorner)
{
    command(IDM_TOGGLE_LOG_WINDOW);
    LogWindow& log = application->getLogWindow();
    ASSERT_TRUE(log.isVisible());
    Rect logArea = log.getWindowRect();
    Rect mainArea = window->getWindowRect();
    EXPECT_EQ(logArea.right, mainArea.right);
    EXPECT_EQ(logArea.bottom, mainArea.bottom);
    command(IDM_TOGGLE_LOG_WINDOW);
    EXPECT_FALSE(log.isVisible());
}

namespace {

// What the middle of each frame shows.
constexpr COLORREF FrameColours[] = {RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)};

// An item of a context menu as it showed: its id (0 for a separator, -1 for a popup) and whether it was grayed.
struct ShownItem {
    int id;
    bool grayed;
};

// Opens the view's context menu as a right click does, reads its items and chooses the one of the mnemonic
// key, whose command then runs; without one (or for 0) it closes the menu.
std::vector<ShownItem> useContextMenu(HWND view, wchar_t key, const wchar_t* screenshot = nullptr)
{
    std::vector<ShownItem> items;
    WindowRobot robot([&](WindowRobot& user) {
        HWND shown = user.waitForWindow(WindowQuery::ofClass(L"#32768"));
        auto menu = reinterpret_cast<HMENU>(SendMessageW(shown, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            items.push_back({GetSubMenu(menu, i) ? -1 : static_cast<int>(GetMenuItemID(menu, i)),
                             (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0});
        if (screenshot)
            user.screenshot(shown, screenshot);
        if (key)
            PostMessageW(view, WM_CHAR, key, 0);
        // A key without an item leaves the menu open.
        for (int wait = 0; wait < 25 && IsWindowVisible(shown); ++wait)
            Sleep(20);
        if (IsWindowVisible(shown))
            PostMessageW(view, WM_KEYDOWN, VK_ESCAPE, 0);
        user.waitUntilGone(shown);
    });
    POINT centre = {20, 20};
    ClientToScreen(view, &centre);
    SendMessageW(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), MAKELPARAM(centre.x, centre.y));
    robot.finish();
    // The menu posts the chosen command.
    EXPECT_TRUE(pumpPostedMessages());
    return items;
}

bool offersFrames(const std::vector<ShownItem>& items)
{
    for (int id : {IDM_NEXT_FRAME, IDM_PREVIOUS_FRAME, IDM_PLAY_ANIMATION})
        if (std::none_of(items.begin(), items.end(), [&](const ShownItem& item) { return item.id == id; }))
            return false;
    return true;
}

} // namespace

TEST_F(MainWindowTest, AnAnimatedGifPlaysInThePaneAndStepsInItsPreviewWindow)
{
    std::wstring path = folder.file(L"animated.gif");
    writeStripedAnimation(path, 150, 120);
    wstringArray added;
    added.add(path.c_str());
    pane().addPaths(added, false, false);
    ASSERT_TRUE(pumpMessagesUntil([&] { return !pane().isAdding() && pane().list().count() == 1; }));
    select({0});
    HWND preview = window->preview().getHandle();
    ASSERT_TRUE(pumpMessagesUntil([&] { return colourAtCentre(preview) == FrameColours[0]; }));

    EXPECT_TRUE(offersFrames(useContextMenu(preview, L'a'))) << "next, previous and play in the pane's menu";
    std::set<COLORREF> seen;
    const std::set<COLORREF> frames(std::begin(FrameColours), std::end(FrameColours));
    pumpMessagesUntil([&] {
        seen.insert(colourAtCentre(preview));
        return seen == frames;
    });
    EXPECT_EQ(seen, frames) << "it plays";
    saveWindowScreenshot(main, L"main-window-animation");
    useContextMenu(preview, L'a');
    EXPECT_FALSE(window->preview().isAnimating()) << "and stops";

    command(IDM_PREVIEW_WINDOWS);
    // The window shows once its picture has decoded.
    ASSERT_TRUE(pumpMessagesUntil([] { return IsWindowVisible(FindWindowW(L"KorvilanePreview", nullptr)); }));
    HWND view = GetDlgItem(FindWindowW(L"KorvilanePreview", nullptr), PreviewWindow::ViewId);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(offersFrames(useContextMenu(view, L'n', L"preview-window-frame-menu"))) << "the preview window's menu";
    EXPECT_TRUE(pumpMessagesUntil([&] { return colourAtCentre(view) == FrameColours[1]; })) << "the next frame";
    SendMessageW(view, WM_KEYDOWN, VK_ADD, 1);
    EXPECT_TRUE(pumpMessagesUntil([&] { return colourAtCentre(view) == FrameColours[2]; })) << "keypad +";
}

TEST_F(MainWindowTest, TheListsContextMenuOffersACommandExactlyWhenTheMainMenuDoes)
{
    listPictures(3);
    HWND list = GetDlgItem(pane().getHandle(), 101);
    auto expectAsInTheMainMenu = [&](const char* selection, const wchar_t* screenshot = nullptr) {
        std::vector<ShownItem> items = useContextMenu(list, 0, screenshot);
        HMENU menu = initMenu();
        ASSERT_EQ(items.size(), 16u);
        for (const ShownItem& item : items) {
            UINT state = item.id == -1 ? GetMenuState(GetSubMenu(menu, 2), 12, MF_BYPOSITION)
                                       : GetMenuState(menu, static_cast<UINT>(item.id), MF_BYCOMMAND);
            // Separators, and starting the explorer, which only the list offers.
            if (item.id == 0 || state == static_cast<UINT>(-1))
                continue;
            EXPECT_EQ(item.grayed, (state & MF_GRAYED) != 0) << item.id << " with " << selection << " selected";
        }
    };
    select({});
    expectAsInTheMainMenu("none");
    select({1});
    expectAsInTheMainMenu("one", L"file-list-context-menu");
    select({0, 2});
    expectAsInTheMainMenu("two");
}

TEST_F(MainWindowTest, ClosingWithPreviewWindowsOpenClosesThemFirst)
{
    listPictures(2);
    select({0});
    command(IDM_PREVIEW_WINDOWS);
    select({1});
    command(IDM_PREVIEW_WINDOWS);
    ASSERT_EQ(pane().previewCount(), 2);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpMessagesUntil([&] { return !IsWindow(main); }));
    EXPECT_EQ(pane().previewCount(), 0);
}

namespace {

void moveMouseTo(int x, int y)
{
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(move));
}

// The text of the splitter's tip once the mouse has come to rest over the middle of the window and the tip shows
// the expected text, or the last text it showed (empty when none) if it never does.
std::wstring tipWhenHovering(HWND tips, HWND window, const std::wstring& expected)
{
    // From outside: a mouse already resting there would not move.
    POINT corner = {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    moveMouseTo(corner.x, corner.y);
    pumpMessagesUntil([&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == corner.x && at.y == corner.y && !IsWindowVisible(tips);
    });
    RECT area{};
    GetWindowRect(window, &area);
    POINT middle = {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    moveMouseTo(middle.x, middle.y);
    // Wine's tip now and then misses the one move that brought the mouse in, or still shows the tool it had
    // before the mouse left the window; a hand waiting for the tip moves a pixel, and so does the test, each
    // half second.
    auto nudge = std::chrono::steady_clock::now();
    int step = 0;
    std::wstring shown;
    pumpMessagesUntil(
        [&] {
            if (IsWindowVisible(tips)) {
                wchar_t text[256] = L"";
                GetWindowTextW(tips, text, 256);
                shown = text;
                if (shown == expected)
                    return true;
            }
            if (std::chrono::steady_clock::now() - nudge > std::chrono::milliseconds(500)) {
                nudge = std::chrono::steady_clock::now();
                moveMouseTo(middle.x + (++step % 2), middle.y);
            }
            return false;
        },
        std::chrono::milliseconds(5000));
    return shown;
}

// The main window started with the preview on each of the four sides of the list.
class SplitterTipTest : public MainWindowTest, public testing::WithParamInterface<int> {
protected:
    void adjust(AppSetting& setting) override { setting.viewPreviewPos = GetParam(); }
};

} // namespace

TEST_P(SplitterTipTest, EachPaneShowsItsOwnTipWhereverThePreviewLies)
{
    HWND tips = application->getSplitter().getToolTip().getHandle();
    HWND preview = window->preview().getHandle();
    HWND list = GetDlgItem(pane().getHandle(), 101);
    EXPECT_EQ(tipWhenHovering(tips, preview, L"プレビュー"), L"プレビュー");
    saveScreenScreenshot(L"splitter-tip-" + std::to_wstring(GetParam()));
    const std::wstring listTip = L"↑↓または←→でプレビュー切り替え";
    EXPECT_EQ(tipWhenHovering(tips, list, listTip), listTip);
}

INSTANTIATE_TEST_SUITE_P(PreviewPositions, SplitterTipTest, testing::Values(0, 1, 2, 3));

namespace {

RECT screenRectOf(HWND window)
{
    RECT area{};
    GetWindowRect(window, &area);
    return area;
}

// The screen's pixels over the area (blue, green, red and a zero byte each) as the user sees them, without
// asking any window to paint first.
std::vector<BYTE> screenPixels(const RECT& area)
{
    Dib copy;
    if (!copy.create(area.right - area.left, area.bottom - area.top, 32, RGB(0, 0, 0)))
        return {};
    HDC screen = GetDC(nullptr);
    BitBlt(copy.getDC(), 0, 0, copy.width(), copy.height(), screen, area.left, area.top, SRCCOPY);
    copy.releaseDC();
    ReleaseDC(nullptr, screen);
    GdiFlush();
    return std::vector<BYTE>(copy.getBits(), copy.getBits() + copy.imageSize());
}

// Once the thread has nothing left to paint and the screen has stopped changing.
std::vector<BYTE> settledPixels(const RECT& area)
{
    std::vector<BYTE> last;
    pumpMessagesUntil([&] {
        std::vector<BYTE> now = screenPixels(area);
        bool settled = !(HIWORD(GetQueueStatus(QS_PAINT)) & QS_PAINT) && now == last;
        last = std::move(now);
        return settled;
    });
    return last;
}

} // namespace

TEST_F(MainWindowTest, TheListLooksAsBeforeOnceTheToolbarIsTurnedOffAndOnAgain)
{
    listPictures(3);
    RECT list = screenRectOf(GetDlgItem(pane().getHandle(), 101));
    std::vector<BYTE> before = settledPixels(list);
    command(IDM_TOGGLE_TOOLBAR);
    command(IDM_TOGGLE_TOOLBAR);
    ASSERT_TRUE(IsWindowVisible(window->parts().rebar.getHandle()));
    bool same = pumpMessagesUntil([&] { return screenPixels(list) == before; });
    saveScreenAsShown(L"main-window-toolbar-off-and-on");
    EXPECT_TRUE(same) << "a copy of the toolbar over the list's header and first rows";
}

TEST_F(MainWindowTest, TheDisabledReleaseButtonShowsItsPictureInALightGrey)
{
    HWND toolbar = window->parts().toolbar.getHandle();
    RECT button{};
    SendMessageW(toolbar, TB_GETRECT, IDM_RELEASE_SELECTED, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    std::vector<BYTE> disabled = settledPixels(button);
    saveScreenAsShown(L"main-window-toolbar-release-disabled");
    listPictures(1);
    select({0});
    ASSERT_TRUE(SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_RELEASE_SELECTED, 0));
    std::vector<BYTE> enabled = settledPixels(button);
    ASSERT_EQ(disabled.size(), enabled.size());
    // No colour, and the dark strokes of the picture in a light grey.
    int coloured = 0, dark = 0, stillDark = 0;
    for (size_t i = 0; i + 3 < disabled.size(); i += 4) {
        auto [low, high] = std::minmax({disabled[i], disabled[i + 1], disabled[i + 2]});
        coloured += high - low > 8;
        if (enabled[i] + enabled[i + 1] + enabled[i + 2] >= 3 * 64)
            continue;
        ++dark;
        stillDark += disabled[i] + disabled[i + 1] + disabled[i + 2] < 3 * 100;
    }
    EXPECT_EQ(coloured, 0);
    EXPECT_GT(dark, 20) << "the picture has dark strokes";
    EXPECT_EQ(stillDark, 0) << "of " << dark << " dark pixels";
}
