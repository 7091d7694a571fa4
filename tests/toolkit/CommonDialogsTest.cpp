#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "support/ComTesting.h"
#include "support/ScratchFolder.h"
#include "support/fileBytes.h"
#include "support/WindowRobot.h"
#include "toolkit/ColorDialog.h"
#include "toolkit/FileDialog.h"
#include "toolkit/FolderDialog.h"
#include "toolkit/Font.h"
#include "toolkit/FontDialog.h"

namespace {

// Control ids of the system's dialogs.
constexpr int FileNameField = 0x47c;
constexpr int RedField = 706, GreenField = 707, BlueField = 708;
constexpr int FaceList = 0x470, SizeList = 0x472;

// Types into the edit box of the dialog's file name field as the keyboard would.
void typeFileName(WindowRobot& user, HWND dialog, const std::wstring& text)
{
    HWND field = user.waitForItem(dialog, FileNameField);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(field, CBEM_GETEDITCONTROL, 0, 0));
    user.type(GetParent(edit), GetDlgCtrlID(edit), text);
}

// Puts the dialog's result buffer in place as the system leaves it: strings separated by NULs.
void fillChoice(FileDialog& dialog, const std::wstring& strings, const wchar_t* title = L"")
{
    std::copy(strings.begin(), strings.end(), dialog.record.lpstrFile);
    dialog.record.lpstrFile[strings.size()] = 0;
    lstrcpyW(dialog.record.lpstrFileTitle, title);
}

// Chooses an entry of a dialog's list as a click does: selected, and the dialog told.
void chooseFromList(HWND dialog, int id, const wchar_t* entry)
{
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// The text of the tree's selected item; empty without one.
std::wstring selectedTreeItem(HWND tree)
{
    TVITEMW item{};
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item.hItem)
        return {};
    wchar_t text[MAX_PATH] = L"";
    item.mask = TVIF_TEXT;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

class FileChoice : public testing::Test {
protected:
    void SetUp() override
    {
        std::wstring file;
        for (const wchar_t* name : {L"a.png", L"b.png", L"c.jpg"})
            writeBytes(file = folder.file(name), Bytes{1, 2, 3});
        folderPath = file.substr(0, file.rfind(L'\\'));
    }

    // Shows the dialog in the test's folder, where the robot types the names and confirms.
    bool open(FileDialog& dialog, const wchar_t* typed, const wchar_t* screenshot)
    {
        // The test's own folder stays the current one.
        dialog.record.Flags |= OFN_EXPLORER | OFN_NOCHANGEDIR;
        dialog.record.lpstrTitle = L"画像を開く";
        dialog.record.lpstrInitialDir = folderPath.c_str();
        WindowRobot robot([&](WindowRobot& user) {
            HWND shown = user.waitForWindow(WindowQuery::dialog(L"画像を開く"));
            typeFileName(user, shown, typed);
            user.screenshot(shown, screenshot);
            user.press(shown, IDOK);
        });
        bool chosen = dialog.showOpen();
        robot.finish();
        return chosen;
    }

    ScratchFolder folder{L"korvilane-dialogs"};
    std::wstring folderPath;
};

} // namespace

TEST(FileDialogBuffers, FilterTextBecomesNulSeparatedPairsAndLongNamesAreRefused)
{
    FileDialog dialog(nullptr, OFN_EXPLORER);
    ASSERT_TRUE(dialog.setFilter(L"PNG 画像|*.png|すべて|*.*"));
    const wchar_t expected[] = L"PNG 画像\0*.png\0すべて\0*.*\0";
    EXPECT_EQ(std::wstring(dialog.record.lpstrFilter, sizeof(expected) / sizeof(wchar_t)),
              std::wstring(expected, sizeof(expected) / sizeof(wchar_t)))
        << "four strings and a second NUL";
    EXPECT_EQ(dialog.record.lStructSize, sizeof(OPENFILENAMEW));

    dialog.setFileName(std::wstring(MAX_PATH - 1, L'x').c_str());
    EXPECT_EQ(lstrlenW(dialog.record.lpstrFile), MAX_PATH - 1);
    dialog.setFileName(std::wstring(MAX_PATH, L'x').c_str());
    EXPECT_EQ(dialog.record.lpstrFile[0], 0);
    FileDialog multiple(nullptr, OFN_EXPLORER | OFN_ALLOWMULTISELECT);
    multiple.setFileName(std::wstring(FileDialog::MultipleCapacity - 1, L'x').c_str());
    EXPECT_EQ(multiple.record.lpstrFile[0], 0) << "no room for the list's second NUL";
}

TEST(FileDialogBuffers, SeveralChosenFilesGiveFolderBackslashAndName)
{
    FileDialog dialog(nullptr, OFN_EXPLORER | OFN_ALLOWMULTISELECT);
    EXPECT_EQ(dialog.getCount(), 0);
    fillChoice(dialog, std::wstring(L"C:\\pictures\0a.png\0b.png\0", 24));
    EXPECT_EQ(dialog.getCount(), 2);
    EXPECT_STREQ(dialog.getPath(0), L"C:\\pictures\\a.png");
    EXPECT_STREQ(dialog.getPath(1), L"C:\\pictures\\b.png");
    EXPECT_STREQ(dialog.getPath(5), L"C:\\pictures\\b.png") << "past the last name: the last";
    EXPECT_STREQ(dialog.getFileName(1), L"b.png");

    fillChoice(dialog, std::wstring(L"C:\\\0a.png\0b.png\0", 16));
    EXPECT_STREQ(dialog.getPath(1), L"C:\\b.png") << "a root already ends in a backslash";
    fillChoice(dialog, std::wstring(L"C:\\pictures\0D:\\other\\x.png\0b.png\0", 34));
    EXPECT_STREQ(dialog.getPath(0), L"D:\\other\\x.png") << "an absolute name stands alone";

    fillChoice(dialog, std::wstring(L"C:\\pictures\\a.png\0", 18), L"a.png");
    EXPECT_STREQ(dialog.getPath(0), L"C:\\pictures\\a.png") << "one file of a multiple choice";
    EXPECT_EQ(dialog.getCount(), 1);
    EXPECT_STREQ(dialog.getFileName(0), L"a.png");
}

TEST_F(FileChoice, UserOpensOneFile)
{
    FileDialog dialog(nullptr, OFN_FILEMUSTEXIST);
    ASSERT_TRUE(open(dialog, L"b.png", L"file-dialog-open"));
    EXPECT_EQ(std::wstring(dialog.getPath(0)), folderPath + L"\\b.png");
    EXPECT_STREQ(dialog.getFileName(0), L"b.png");
}

TEST_F(FileChoice, UserOpensSeveralFiles)
{
    FileDialog dialog(nullptr, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    ASSERT_TRUE(open(dialog, L"\"a.png\" \"c.jpg\"", L"file-dialog-open-several"));
    EXPECT_EQ(std::wstring(dialog.getPath(0)), folderPath + L"\\a.png");
    EXPECT_EQ(std::wstring(dialog.getPath(1)), folderPath + L"\\c.jpg");
}

TEST_F(FileChoice, FolderDialogOpensAtThePreselectedFolderAndReturnsTheChoice)
{
    ComApartment com;
    FolderDialog dialog;
    dialog.record.ulFlags = BIF_RETURNONLYFSDIRS;
    lstrcpyW(dialog.path, folderPath.c_str());
    std::wstring leaf = folderPath.substr(folderPath.rfind(L'\\') + 1);
    WindowRobot robot([&](WindowRobot& user) {
        HWND browse = user.waitForWindow(WindowQuery::dialog());
        HWND tree = FindWindowExW(browse, nullptr, WC_TREEVIEWW, nullptr);
        user.waitUntil([&] { return selectedTreeItem(tree) == leaf; }, L"the preselected folder");
        user.screenshot(browse, L"folder-dialog");
        user.press(browse, IDOK);
    });
    ASSERT_TRUE(dialog.show(L"保存先のフォルダーを選んでください"));
    robot.finish();
    EXPECT_EQ(lstrcmpiW(dialog.path, folderPath.c_str()), 0) << dialog.path;

    WindowRobot cancelling([](WindowRobot& user) { user.press(user.waitForWindow(WindowQuery::dialog()), IDCANCEL); });
    EXPECT_FALSE(dialog.show(L"キャンセル"));
    cancelling.finish();
    EXPECT_EQ(lstrcmpiW(dialog.path, folderPath.c_str()), 0) << "a cancelled choice keeps the path";
}

TEST(CommonDialogs, ColourDialogReturnsTheMixedColour)
{
    ColorDialog dialog;
    dialog.record.rgbResult = RGB(10, 20, 30);
    dialog.record.Flags = CC_RGBINIT | CC_FULLOPEN;
    WindowRobot robot([](WindowRobot& user) {
        HWND colours = user.waitForWindow(WindowQuery::dialog());
        EXPECT_EQ(user.text(colours, RedField), L"10") << "opens at the working colour";
        user.type(colours, RedField, L"200");
        user.type(colours, GreenField, L"100");
        user.type(colours, BlueField, L"50");
        user.screenshot(colours, L"colour-dialog");
        user.press(colours, IDOK);
    });
    ASSERT_TRUE(dialog.show());
    robot.finish();
    EXPECT_EQ(dialog.record.rgbResult, RGB(200, 100, 50));
}

TEST(CommonDialogs, FontDialogOpensAtItsFontAndReturnsTheChosenOne)
{
    FontDialog dialog;
    EXPECT_EQ(dialog.record.lStructSize, sizeof(CHOOSEFONTW));
    EXPECT_STREQ(dialog.font.lfFaceName, L"System");
    EXPECT_EQ(dialog.font.lfHeight, displayFontHeight(10));
    // The test prefix has no "System" face, in which the dialog would open by default.
    lstrcpyW(dialog.font.lfFaceName, L"Tahoma");
    dialog.setPointSize(12);
    WindowRobot robot([](WindowRobot& user) {
        HWND fonts = user.waitForWindow(WindowQuery::dialog());
        user.waitUntil([&] { return !user.text(fonts, SizeList).empty(); }, L"the size field");
        EXPECT_EQ(user.text(fonts, FaceList), L"Tahoma");
        EXPECT_EQ(user.text(fonts, SizeList), L"12") << "the height and the size agree";
        chooseFromList(fonts, FaceList, L"Symbol");
        chooseFromList(fonts, SizeList, L"14");
        user.screenshot(fonts, L"font-dialog");
        user.press(fonts, IDOK);
    });
    ASSERT_TRUE(ChooseFontW(&dialog.record));
    robot.finish();
    EXPECT_STREQ(dialog.font.lfFaceName, L"Symbol");
    EXPECT_EQ(dialog.font.lfHeight, displayFontHeight(14));
}
