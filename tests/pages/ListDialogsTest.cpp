#include <gtest/gtest.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "PageTesting.h"
#include "foundation/wstringArray.h"
#include "pages/DlgSpi.h"
#include "pages/DlgViewer.h"
#include "pages/dialogIds.h"
#include "settings/AppSetting.h"
#include "settings/Messages.h"
#include "support/ScratchFolder.h"

namespace {

constexpr wchar_t ViewerCaption[] = L"外部ビューアーの設定";
constexpr wchar_t ViewerEntryCaption[] = L"外部ビューアーの追加";
constexpr wchar_t ViewerEditCaption[] = L"外部ビューアーの編集";
constexpr wchar_t PluginCaption[] = L"Susie-Pluginの設定";

std::wstring cell(HWND dialog, int row, int column)
{
    wchar_t buffer[1024] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    SendDlgItemMessageW(dialog, IDC_LIST, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int rows(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_LIST, LVM_GETITEMCOUNT, 0, 0));
}

// The row's image in the list's image list; negative when it shows none.
int imageOf(HWND dialog, int row)
{
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendDlgItemMessageW(dialog, IDC_LIST, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void selectRow(HWND dialog, int row)
{
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(dialog, IDC_LIST, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The enabled states of up, down, edit and delete, as "1" and "0".
std::wstring buttonStates(HWND dialog, bool withEdit)
{
    std::wstring states;
    for (int id : {IDC_UP, IDC_DOWN, IDC_EDIT_ENTRY, IDC_DELETE}) {
        if (id == IDC_EDIT_ENTRY && !withEdit)
            continue;
        states += isEnabled(dialog, id) ? L'1' : L'0';
    }
    return states;
}

// A drop of one file, as the shell hands it to a window: the caller frees it unless the window takes it.
HGLOBAL dropOf(const std::wstring& path)
{
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(drop + 1);
    path.copy(names, path.size());
    GlobalUnlock(memory);
    return memory;
}

class ListDialogsTest : public PageTest {
protected:
    ListDialogsTest()
    {
        loadMessages(GetModuleHandleW(nullptr));
        addViewer(L"jpg;png", L"閲覧", L"C:\\tools\\view.exe");
        addViewer(L"gif", L"Animator", L"C:\\tools\\anim.exe");
        addViewer(L"tif", L"Scanner", L"C:\\tools\\scan.exe");
    }

    void addViewer(const wchar_t* extensions, const wchar_t* name, const wchar_t* path)
    {
        ViewerEntry entry;
        entry.exts.split(extensions, L";", true);
        entry.name = name;
        entry.path = path;
        setting.applications.add(entry);
    }

    std::vector<std::wstring> viewerNames() const
    {
        std::vector<std::wstring> names;
        for (int i = 0; i < setting.applications.count(); ++i)
            names.emplace_back(setting.applications.at(i).name.buffer());
        return names;
    }

    template <typename Show>
    void run(Show show, const WindowRobot::Script& script)
    {
        WindowRobot robot(script, std::chrono::milliseconds(20000));
        show(nullptr);
        robot.finish();
    }
};

} // namespace

TEST_F(ListDialogsTest, ViewerRowsMoveAndGoButOnlyOkStoresThem)
{
    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        ASSERT_EQ(rows(dialog), 3);
        EXPECT_EQ(cell(dialog, 0, 0), L"jpg;png");
        EXPECT_EQ(cell(dialog, 0, 2), L"C:\\tools\\view.exe");
        EXPECT_EQ(buttonStates(dialog, true), L"0000") << "no row selected";
        selectRow(dialog, 2);
        EXPECT_EQ(buttonStates(dialog, true), L"1011") << "the last row";
        selectRow(dialog, 0);
        EXPECT_EQ(buttonStates(dialog, true), L"0111") << "the first row";
        user.screenshot(dialog, L"viewer_dialog");
        user.press(dialog, IDC_DOWN);
        user.waitUntil([&] { return cell(dialog, 1, 1) == L"閲覧"; }, L"the first row moved down");
        SendDlgItemMessageW(dialog, IDC_LIST, WM_KEYDOWN, VK_DELETE, 0);
        EXPECT_EQ(rows(dialog), 2);
        EXPECT_EQ(cell(dialog, 1, 1), L"Scanner") << "the selected row went";
        user.press(dialog, IDCANCEL);
    });
    EXPECT_EQ(viewerNames(), (std::vector<std::wstring>{L"閲覧", L"Animator", L"Scanner"})) << "cancelled";

    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        selectRow(dialog, 2);
        user.press(dialog, IDC_UP);
        user.waitUntil([&] { return cell(dialog, 1, 1) == L"Scanner"; }, L"the last row moved up");
        selectRow(dialog, 0);
        user.press(dialog, IDC_DELETE);
        user.press(dialog, IDOK);
    });
    EXPECT_EQ(viewerNames(), (std::vector<std::wstring>{L"Scanner", L"Animator"}));
    EXPECT_EQ(setting.applications.at(0).exts.join(L";"), wstring(L"tif"));
}

TEST_F(ListDialogsTest, AnEntryTidiesItsExtensionsAndNamesADroppedProgram)
{
    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        PostMessageW(dialog, WM_COMMAND, IDC_ADD, 0);
        HWND entry = user.waitForWindow({L"#32770", ViewerEntryCaption, dialog});
        user.type(entry, IDC_VIEWER_EXTS, L";;");
        user.type(entry, IDC_VIEWER_NAME, L"x");
        user.type(entry, IDC_VIEWER_PATH, L"C:\\x.exe");
        PostMessageW(entry, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, entry), Messages::E0028.toWstring().buffer());
        EXPECT_TRUE(IsWindow(entry)) << "the entry stays open";

        user.type(entry, IDC_VIEWER_EXTS, L";jpg;;png;");
        user.type(entry, IDC_VIEWER_NAME, L"");
        HGLOBAL drop = dropOf(L"C:\\programs\\viewer.exe");
        SendDlgItemMessageW(entry, IDC_VIEWER_PATH, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        EXPECT_EQ(user.text(entry, IDC_VIEWER_PATH), L"C:\\programs\\viewer.exe");
        EXPECT_EQ(user.text(entry, IDC_VIEWER_NAME), L"viewer") << "an empty name takes the program's";
        user.type(entry, IDC_VIEWER_NAME, L"見る");
        SendDlgItemMessageW(entry, IDC_VIEWER_PATH, WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(L"C:\\b.exe")), 0);
        EXPECT_EQ(user.text(entry, IDC_VIEWER_NAME), L"見る") << "a typed name stays";
        user.screenshot(entry, L"viewer_entry_dialog");
        user.press(entry, IDOK);
        user.waitUntil([&] { return rows(dialog) == 4; }, L"the new row");
        EXPECT_EQ(cell(dialog, 3, 0), L"jpg;png");

        selectRow(dialog, 3);
        PostMessageW(dialog, WM_COMMAND, IDC_EDIT_ENTRY, 0);
        HWND editing = user.waitForWindow({L"#32770", ViewerEditCaption, dialog});
        EXPECT_EQ(user.text(editing, IDC_VIEWER_NAME), L"見る");
        user.type(editing, IDC_VIEWER_PATH, L"");
        PostMessageW(editing, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, editing), Messages::E0030.toWstring().buffer());
        user.press(editing, IDCANCEL);
        user.press(dialog, IDOK);
    });
    ASSERT_EQ(setting.applications.count(), 4);
    const ViewerEntry& added = setting.applications.at(3);
    EXPECT_EQ(added.exts.count(), 2);
    EXPECT_EQ(added.path, wstring(L"C:\\b.exe"));
}

TEST_F(ListDialogsTest, AnEditedViewerShowsItsNewProgramsIconOrNone)
{
    wchar_t notepad[MAX_PATH];
    GetWindowsDirectoryW(notepad, MAX_PATH);
    wcscat_s(notepad, L"\\notepad.exe");
    setting.applications.at(0).path = notepad;
    int programIcon = -1;
    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        programIcon = imageOf(dialog, 0);
        EXPECT_LT(imageOf(dialog, 1), 0) << "a program that is not there has no icon";
        selectRow(dialog, 0);
        PostMessageW(dialog, WM_COMMAND, IDC_EDIT_ENTRY, 0);
        HWND editing = user.waitForWindow({L"#32770", ViewerEditCaption, dialog});
        user.type(editing, IDC_VIEWER_PATH, L"C:\\nowhere\\viewer.exe");
        user.press(editing, IDOK);
        user.waitUntil([&] { return cell(dialog, 0, 2) == L"C:\\nowhere\\viewer.exe"; }, L"the edited row");
        EXPECT_LT(imageOf(dialog, 0), 0) << "not the old program's icon";
        user.screenshot(dialog, L"viewer_dialog_edited");

        PostMessageW(dialog, WM_COMMAND, IDC_EDIT_ENTRY, 0);
        editing = user.waitForWindow({L"#32770", ViewerEditCaption, dialog});
        user.type(editing, IDC_VIEWER_PATH, notepad);
        user.press(editing, IDOK);
        user.waitUntil([&] { return imageOf(dialog, 0) == programIcon; }, L"the program's icon again");
        user.press(dialog, IDCANCEL);
    });
    EXPECT_GE(programIcon, 0) << "the program's icon";
}

TEST_F(ListDialogsTest, AHundredViewersTakeNoMoreButCanStillBeEdited)
{
    for (int i = 3; i < DlgViewer::MaxEntries; ++i)
        addViewer(L"x", (L"v" + std::to_wstring(i)).c_str(), L"C:\\v.exe");
    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        PostMessageW(dialog, WM_COMMAND, IDC_ADD, 0);
        HWND entry = user.waitForWindow({L"#32770", ViewerEntryCaption, dialog});
        user.type(entry, IDC_VIEWER_EXTS, L"bmp");
        user.type(entry, IDC_VIEWER_NAME, L"one more");
        user.type(entry, IDC_VIEWER_PATH, L"C:\\more.exe");
        PostMessageW(entry, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(user.answerMessageBox(IDOK, dialog), Messages::E0031.toWstring().buffer());
        EXPECT_EQ(rows(dialog), DlgViewer::MaxEntries);
        user.press(dialog, IDOK);
    });
    EXPECT_EQ(setting.applications.count(), DlgViewer::MaxEntries);
}

TEST_F(ListDialogsTest, AListThatCannotBeReadWholeLeavesTheStoredOneWhole)
{
    run(showViewerDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(ViewerCaption));
        selectRow(dialog, 0);
        user.press(dialog, IDC_DELETE);
        user.waitUntil([&] { return rows(dialog) == 2; }, L"a row deleted");
        // The path column goes: no row can be read whole any more.
        SendDlgItemMessageW(dialog, IDC_LIST, LVM_DELETECOLUMN, 2, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        user.answerMessageBox(IDOK, dialog);
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
        user.press(dialog, IDCANCEL);
    });
    EXPECT_EQ(viewerNames(), (std::vector<std::wstring>{L"閲覧", L"Animator", L"Scanner"}));

    setting.spiPaths.add(L"C:\\plugins\\first.spi");
    setting.spiPaths.add(L"C:\\plugins\\second.spi");
    run(showPluginDialog, [&](WindowRobot& user) {
        HWND dialog = user.waitForWindow(WindowQuery::dialog(PluginCaption));
        selectRow(dialog, 1);
        user.press(dialog, IDC_DELETE);
        user.waitUntil([&] { return rows(dialog) == 1; }, L"a row deleted");
        SendDlgItemMessageW(dialog, IDC_LIST, LVM_DELETECOLUMN, 1, 0);
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        user.answerMessageBox(IDOK, dialog);
        user.press(dialog, IDCANCEL);
    });
    EXPECT_EQ(setting.spiPaths.count(), 2);
}

TEST_F(ListDialogsTest, PluginsAreListedOnceWithWhatTheyTellAboutThemselves)
{
    ScratchFolder folder(L"korvilane-plugins");
    std::wstring notAPlugin = folder.file(L"plain.spi");
    HANDLE file = CreateFileW(notAPlugin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    setting.spiPaths.add(notAPlugin.c_str());
    setting.spiPaths.add(L"C:\\nowhere\\missing.spi");
    wchar_t reader[MAX_PATH];
    GetFullPathNameW(KORVILANE_TEST_PLUGIN, MAX_PATH, reader, nullptr);
    setting.spiPaths.add(reader);
    DlgSpi dialog;
    WindowRobot robot([&](WindowRobot& user) {
        HWND window = user.waitForWindow(WindowQuery::dialog(PluginCaption));
        ASSERT_EQ(rows(window), 3);
        EXPECT_EQ(cell(window, 2, 0), L"KVP test reader");
        EXPECT_EQ(cell(window, 2, 2), L"有効") << "it reads pictures";
        EXPECT_EQ(cell(window, 0, 0), L"(不明)");
        EXPECT_EQ(cell(window, 0, 2), L"無効");
        EXPECT_EQ(cell(window, 1, 0), L"(不明)") << "a plug-in that cannot be loaded";
        selectRow(window, 2);
        EXPECT_EQ(buttonStates(window, false), L"101");

        wstringArray chosen;
        std::wstring upper = notAPlugin;
        CharUpperW(upper.data());
        chosen.add(upper.c_str());
        chosen.add(L"C:\\plugins\\new.spi");
        chosen.add(L"c:\\PLUGINS\\NEW.SPI");
        dialog.addPlugins(chosen);
        ASSERT_EQ(rows(window), 4) << "each path once, letter case ignored";
        EXPECT_EQ(cell(window, 3, 1), L"C:\\plugins\\new.spi");
        user.screenshot(window, L"plugin_dialog");
        selectRow(window, 0);
        user.press(window, IDC_DOWN);
        user.waitUntil([&] { return cell(window, 0, 1) == L"C:\\nowhere\\missing.spi"; }, L"the first row moved down");
        user.press(window, IDOK);
    });
    dialog.doModal(nullptr, IDD_SPI, nullptr, 0);
    robot.finish();
    ASSERT_EQ(setting.spiPaths.count(), 4);
    EXPECT_EQ(setting.spiPaths.at(0), wstring(L"C:\\nowhere\\missing.spi"));
    EXPECT_EQ(setting.spiPaths.at(1), wstring(notAPlugin.c_str()));
}
