#include <gtest/gtest.h>
#include <vector>
#include "settings/ViewerEntries.h"
#include "support/ExpectCode.h"

namespace {

ViewerEntry entry(const wchar_t* exts, const wchar_t* name, const wchar_t* path)
{
    ViewerEntry viewer;
    viewer.exts.split(exts, L";", true);
    viewer.name = name;
    viewer.path = path;
    return viewer;
}

std::vector<int> found(const ViewerEntries& viewers, const wchar_t* extension)
{
    IntArray indexes;
    indexes.getValues().add(99);
    viewers.findByExtension(extension, indexes);
    std::vector<int> result;
    for (int i = 0; i < indexes.getValues().count(); ++i)
        result.push_back(indexes.getValues().at(i));
    return result;
}

} // namespace

TEST(ViewerEntries, AddKeepsIndependentCopiesInOrder)
{
    ViewerEntries viewers;
    ViewerEntry first = entry(L"jpg;png", L"画像ビューアー", L"C:\\view.exe");
    viewers.add(first);
    viewers.add(entry(L"gif", L"Second", L"C:\\second.exe"));
    first.exts.add(L"bmp");
    first.name = L"changed";

    ASSERT_EQ(viewers.count(), 2);
    EXPECT_STREQ(viewers.at(0).name.buffer(), L"画像ビューアー");
    EXPECT_EQ(viewers.at(0).exts.count(), 2);
    EXPECT_STREQ(viewers.at(0).exts.at(1).buffer(), L"png");
    EXPECT_STREQ(viewers.at(1).path.buffer(), L"C:\\second.exe");
    expectCode(ERROR_INVALID_PARAMETER, [&] { viewers.at(2); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { viewers.at(-1); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { viewers.getPath(2); });

    viewers.removeAll();
    EXPECT_EQ(viewers.count(), 0);
}

TEST(ViewerEntries, FindByExtensionIgnoresCaseAndListsEachEntryOnce)
{
    ViewerEntries viewers;
    viewers.add(entry(L"jpg;JPG;png", L"A", L"a.exe"));
    viewers.add(entry(L"gif", L"B", L"b.exe"));
    viewers.add(entry(L"Jpg", L"C", L"c.exe"));

    EXPECT_EQ(found(viewers, L"JPG"), (std::vector<int>{0, 2}));
    EXPECT_EQ(found(viewers, L"gif"), (std::vector<int>{1}));
    EXPECT_EQ(found(viewers, L"tif"), (std::vector<int>{}));
}

TEST(ViewerEntries, PathIsExpandedOnlyWhenAsked)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"KORVILANE_VIEWER_DIR", L"C:\\ビューアー"));
    ViewerEntries viewers;
    viewers.add(entry(L"jpg", L"A", L"%KORVILANE_VIEWER_DIR%\\view.exe"));

    EXPECT_STREQ(viewers.getPath(0).buffer(), L"C:\\ビューアー\\view.exe");
    EXPECT_STREQ(viewers.at(0).path.buffer(), L"%KORVILANE_VIEWER_DIR%\\view.exe");
    SetEnvironmentVariableW(L"KORVILANE_VIEWER_DIR", nullptr);
}

TEST(ViewerEntries, IconOfAProgramAndOfAMissingFile)
{
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    ViewerEntries viewers;
    viewers.add(entry(L"txt", L"Notepad", (wstring(system) + L"\\notepad.exe").buffer()));
    viewers.add(entry(L"txt", L"Missing", L"C:\\no such folder\\missing.exe"));

    HICON icon = viewers.getIcon(0);
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
    EXPECT_EQ(viewers.getIcon(1), nullptr);
}
