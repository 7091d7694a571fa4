#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ToolkitTesting.h"
#include "support/ExpectCode.h"
#include "support/InjectedNewFailure.h"
#include "support/PictureFolder.h"
#include "toolkit/ExplorerBrowser.h"
#include "toolkit/ShlListView.h"

namespace {

constexpr ULONGLONG TiB = 1ULL << 40;

class ShellListView : public testing::Test {
protected:
    ShellListView() : files(L"korvilane-shllist")
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ShlListView::registerClass();
        view.create(parent.getHandle(), 5, Rect(0, 0, 600, 200), 0, 0);
    }
    ~ShellListView() override
    {
        parent.destroy();
        CoUninitialize();
    }

    ShlListView::Controller& controller() { return view.controller(); }
    std::wstring cell(int index, int column) { return controller().itemText(index, column).buffer(); }
    std::vector<std::wstring> column(int index)
    {
        std::vector<std::wstring> texts;
        for (int i = 0; i < view.itemCount(); ++i)
            texts.push_back(cell(i, index));
        return texts;
    }
    // What the list's parent sees when the user clicks a column header.
    void clickHeader(int index)
    {
        NMLISTVIEW click{};
        click.hdr.hwndFrom = view.innerList();
        click.hdr.idFrom = ShlListView::InnerListId;
        click.hdr.code = LVN_COLUMNCLICK;
        click.iItem = -1;
        click.iSubItem = index;
        SendMessageW(view.getHandle(), WM_NOTIFY, ShlListView::InnerListId, reinterpret_cast<LPARAM>(&click));
    }

    ParentWindow parent;
    PictureFolder files;
    ShlListView view;
};

} // namespace

// The shell list and the explorer browser build their state in their WM_CREATE, inside the system's window
// creation, which nothing thrown may cross: memory that runs out there fails the creation with error 8.
TEST(ListControlCreation, MemoryThatRunsOutFailsItWithError8AndLeavesNoWindow)
{
    ShlListView::registerClass();
    ExplorerBrowser::registerClass();
    ParentWindow parent;
    ShlListView list;
    ExplorerBrowser browser;
    for (Control* control : {static_cast<Control*>(&list), static_cast<Control*>(&browser)}) {
        int code = 0;
        {
            InjectedNewFailure failure(0);
            code = thrownCode([&] { control->create(parent.getHandle(), 1, Rect(0, 0, 300, 200), 0, 0); });
        }
        EXPECT_EQ(code, ErrorCode::NoMemory);
        EXPECT_EQ(control->getHandle(), nullptr);
        EXPECT_EQ(GetWindow(parent.getHandle(), GW_CHILD), nullptr);
    }
    parent.destroy();
}

TEST(KilobyteTexts, ASizeIsCountedInStartedKilobytesAndGroupedByThousands)
{
    EXPECT_EQ(kilobytesOf(0), 0u);
    EXPECT_EQ(kilobytesOf(1), 1u);
    EXPECT_EQ(kilobytesOf(1024), 1u);
    EXPECT_EQ(kilobytesOf(1025), 2u);
    EXPECT_EQ(kilobytesOf(~0ULL), (~0ULL >> 10) + 1) << "no overflow at the top";
    EXPECT_EQ(std::wstring(formatKilobytes(1).buffer()), L"1 KB");
    EXPECT_EQ(std::wstring(formatKilobytes(1500).buffer()), L"1,500 KB");
    // Files of 2 TiB and more: the count no longer fits in 31 bits.
    EXPECT_EQ(std::wstring(formatKilobytes(kilobytesOf(2 * TiB)).buffer()), L"2,147,483,648 KB");
    EXPECT_EQ(std::wstring(formatKilobytes(kilobytesOf(5 * TiB + 1)).buffer()), L"5,368,709,121 KB");
}

TEST_F(ShellListView, FilesShowTheirSizeTypeAndDateAndAFolderNoSize)
{
    std::wstring big = files.file(L"big.dat", 1500 * 1024);
    std::wstring tiny = files.file(L"tiny.txt", 1);
    std::wstring sub = files.folder(L"sub");
    PictureFolder::setWriteTime(big, 2024, 5, 6, 7, 8);
    EXPECT_TRUE(view.addItem(big.c_str(), -1));
    EXPECT_TRUE(view.addItem(tiny.c_str(), -1));
    EXPECT_TRUE(view.addItem(sub.c_str(), -1));
    EXPECT_EQ(column(1), (std::vector<std::wstring>{L"1,500 KB", L"1 KB", L""}));
    EXPECT_NE(cell(0, 3).find(L"2024"), std::wstring::npos) << cell(0, 3);
    EXPECT_NE(cell(0, 3).find(L"7:08"), std::wstring::npos) << "the local time without seconds: " << cell(0, 3);
    EXPECT_FALSE(cell(2, 3).empty()) << "a folder has a date";
    EXPECT_EQ(cell(0, 0), big) << "full paths by default";
    for (int i = 0; i < 4; ++i) {
        wchar_t caption[64] = L"";
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = caption;
        header.cchTextMax = 64;
        SendMessageW(view.innerList(), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&header));
        EXPECT_NE(caption[0], 0) << "column " << i << " has a caption, the shell's or the program's own";
    }

    controller().setLabelType(ShlListView::FileNameLabel);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{L"big.dat", L"tiny.txt", L"sub"}));
    controller().setLabelType(ShlListView::NameWithFolderLabel);
    std::wstring folderName = files.path().substr(files.path().rfind(L'\\') + 1);
    EXPECT_EQ(cell(1, 0), L"tiny.txt (" + folderName + L")");
    EXPECT_EQ(std::wstring(view.itemNameWithFolder(1).buffer()), cell(1, 0));
}

TEST_F(ShellListView, ADriveRootIsListedAsAFolder)
{
    wchar_t temporary[MAX_PATH] = L"";
    ASSERT_GT(GetTempPathW(MAX_PATH, temporary), 3u);
    std::wstring root(temporary, 3);
    EXPECT_TRUE(view.addItem(root.c_str(), -1));
    EXPECT_FALSE(view.addItem(root.c_str(), -1)) << "listed once";
    ASSERT_EQ(view.itemCount(), 1);
    EXPECT_EQ(std::wstring(view.itemPath(0).buffer()), root);
    EXPECT_EQ(cell(0, 1), L"") << "a drive, like a folder, shows no size";
    EXPECT_FALSE(cell(0, 2).empty()) << "the shell's type name";
}

TEST_F(ShellListView, AFileIsListedOnceWhateverTheCaseAndRemovalKeepsRowsAndRecordsTogether)
{
    std::wstring first = files.picture(L"one.bmp", 4, 4);
    std::wstring second = files.picture(L"two.bmp", 4, 4);
    std::wstring third = files.picture(L"three.bmp", 4, 4);
    EXPECT_TRUE(view.addItem(first.c_str(), -1));
    EXPECT_FALSE(view.addItem(files.pathOf(L"ONE.BMP").c_str(), -1));
    EXPECT_TRUE(view.addItem(second.c_str(), -1));
    EXPECT_TRUE(view.addItem(third.c_str(), 0)) << "index 0 puts it first";
    EXPECT_EQ(column(0), (std::vector<std::wstring>{third, first, second}));
    EXPECT_EQ(thrownCode([&] { view.addItem(files.pathOf(L"four.bmp").c_str(), -1); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(thrownCode([&] { view.addItem(L"", -1); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(view.itemCount(), 3);

    controller().removeItem(1);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{third, second}));
    EXPECT_EQ(controller().recordCount(), 2);
    EXPECT_TRUE(view.addItem(first.c_str(), -1)) << "a removed file can come back";
    EXPECT_EQ(thrownCode([&] { controller().removeItem(7); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(controller().recordCount(), 3);
    controller().clear();
    EXPECT_EQ(view.itemCount(), 0);
    EXPECT_EQ(controller().recordCount(), 0);
}

TEST_F(ShellListView, HeaderClicksSortByEachColumnAndASecondClickTurnsTheOrderRound)
{
    std::wstring a = files.file(L"a.txt", 5000);
    std::wstring b = files.picture(L"b.bmp", 4, 4);
    std::wstring c = files.file(L"c.dat", 2000);
    std::wstring sub = files.folder(L"sub");
    PictureFolder::setWriteTime(a, 2021, 1, 1, 12, 0);
    PictureFolder::setWriteTime(b, 2023, 1, 1, 12, 0);
    PictureFolder::setWriteTime(c, 2022, 1, 1, 12, 0);
    for (const std::wstring* path : {&c, &sub, &a, &b})
        view.addItem(path->c_str(), -1);
    controller().setLabelType(ShlListView::FileNameLabel);

    clickHeader(ShlListView::SizeColumn);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{L"sub", L"b.bmp", L"c.dat", L"a.txt"})) << "folders first";
    clickHeader(ShlListView::SizeColumn);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{L"a.txt", L"c.dat", L"b.bmp", L"sub"})) << "folders last";
    clickHeader(ShlListView::NameColumn);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{L"sub", L"a.txt", L"b.bmp", L"c.dat"}));
    clickHeader(ShlListView::DateColumn);
    EXPECT_EQ(column(0), (std::vector<std::wstring>{L"sub", L"a.txt", L"c.dat", L"b.bmp"}));
    clickHeader(ShlListView::TypeColumn);
    std::vector<std::wstring> types = column(2);
    EXPECT_TRUE(std::is_sorted(types.begin() + 1, types.end())) << "by the shell's type names";
    EXPECT_EQ(column(0)[0], L"sub");
}
