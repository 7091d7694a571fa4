#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ToolkitTesting.h"
#include "support/PictureFolder.h"
#include "toolkit/ShellFolder.h"
#include "toolkit/ShlTreeView.h"

namespace {

// A tree that never shows folders of one name.
class FilteredTree : public ShlTreeView {
public:
    std::wstring hidden;

protected:
    bool include(ShellFolder& folder) override { return hidden != folder.currentName().buffer(); }
};

class ShellTreeView : public testing::Test {
protected:
    ShellTreeView() : files(L"korvilane-shltree")
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ShlTreeView::registerClass();
        tree.create(parent.getHandle(), 7, Rect(0, 0, 300, 300), 0, WS_VISIBLE);
        // root: a (b (c), filesOnly (x.txt)), empty, gone later
        files.folder(L"a");
        files.folder(L"a\\b");
        deep = files.folder(L"a\\b\\c");
        filesOnly = files.folder(L"a\\filesOnly");
        files.file(L"a\\filesOnly\\x.txt", 3);
        files.folder(L"empty");
    }
    ~ShellTreeView() override
    {
        parent.destroy();
        CoUninitialize();
    }

    HWND inner() const { return tree.getTree(); }
    HTREEITEM next(HTREEITEM item, UINT code) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessageW(inner(), TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    std::wstring textOf(HTREEITEM item) const
    {
        wchar_t text[MAX_PATH] = L"";
        TVITEMW read{};
        read.mask = TVIF_TEXT;
        read.hItem = item;
        read.pszText = text;
        read.cchTextMax = MAX_PATH;
        SendMessageW(inner(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
        return text;
    }
    std::vector<std::wstring> childrenOf(HTREEITEM item) const
    {
        std::vector<std::wstring> names;
        for (HTREEITEM child = next(item, TVGN_CHILD); child; child = next(child, TVGN_NEXT))
            names.push_back(textOf(child));
        return names;
    }
    HTREEITEM child(HTREEITEM item, const std::wstring& name) const
    {
        for (HTREEITEM found = next(item, TVGN_CHILD); found; found = next(found, TVGN_NEXT))
            if (textOf(found) == name)
                return found;
        return nullptr;
    }
    // Whether the item shows an expand button.
    bool hasButton(HTREEITEM item) const
    {
        TVITEMW read{};
        read.mask = TVIF_CHILDREN;
        read.hItem = item;
        SendMessageW(inner(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read));
        return read.cChildren != 0;
    }
    bool isExpanded(HTREEITEM item) const
    {
        return (SendMessageW(inner(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    std::wstring selectedPath() const
    {
        HTREEITEM selected = tree.getSelection();
        return selected ? std::wstring(tree.getItemFileSystemPath(selected).buffer()) : std::wstring();
    }

    ParentWindow parent;
    PictureFolder files;
    std::wstring deep;
    std::wstring filesOnly;
    FilteredTree tree;
};

} // namespace

TEST_F(ShellTreeView, TheRootListsItsFoldersAtOnceWhileStayingCollapsed)
{
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    HTREEITEM root = tree.getRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(std::wstring(tree.getItemFileSystemPath(root).buffer()), files.path());
    EXPECT_EQ(childrenOf(root), (std::vector<std::wstring>{L"a", L"empty"}));
    EXPECT_FALSE(isExpanded(root));
    EXPECT_TRUE(hasButton(child(root, L"a")));
    // Wine's shell reports sub-folders for every folder; an empty one loses its button once it is opened.
    tree.expand(child(root, L"empty"));
    EXPECT_FALSE(hasButton(child(root, L"empty")));
}

TEST_F(ShellTreeView, AFolderOfFilesLosesItsButtonAndChildrenAreReadOnce)
{
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    HTREEITEM a = child(tree.getRoot(), L"a");
    tree.expand(a);
    EXPECT_EQ(childrenOf(a), (std::vector<std::wstring>{L"b", L"filesOnly"}));
    HTREEITEM onlyFiles = child(a, L"filesOnly");
    int before = tree.controller().recordCount();
    tree.expand(onlyFiles);
    EXPECT_EQ(tree.controller().recordCount(), before + 1) << "the file gets a record, not an item";
    EXPECT_TRUE(childrenOf(onlyFiles).empty());
    EXPECT_FALSE(hasButton(onlyFiles));

    SendMessageW(inner(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(a));
    int loaded = tree.controller().recordCount();
    tree.expand(a);
    EXPECT_EQ(tree.controller().recordCount(), loaded) << "a second expansion reads nothing again";
    EXPECT_EQ(childrenOf(a).size(), 2u);
}

TEST_F(ShellTreeView, SelectingADeepFolderExpandsEveryLevelOnTheWay)
{
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    HTREEITEM selected = tree.selectPath(deep.c_str());
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected, tree.getSelection());
    EXPECT_EQ(selectedPath(), deep);
    HTREEITEM a = child(tree.getRoot(), L"a");
    EXPECT_TRUE(isExpanded(a) && isExpanded(child(a, L"b")));
    EXPECT_EQ(tree.selectPath(files.path().c_str()), tree.getRoot()) << "the root itself";
}

TEST_F(ShellTreeView, AFolderTouchedSinceTheTreeReadItIsStillFound)
{
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    // Something was saved into the folder while the tree was open: its write time changed.
    PictureFolder::setWriteTime(files.pathOf(L"a"), 2020, 1, 2, 3, 4);
    ASSERT_NE(tree.selectPath(deep.c_str()), nullptr);
    EXPECT_EQ(selectedPath(), deep);
}

TEST_F(ShellTreeView, ADeletedFolderSelectsItsNearestAncestorAndAForeignOneNothing)
{
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    std::wstring gone = files.pathOf(L"a\\b\\gone\\deeper\\");
    ASSERT_NE(tree.selectPath(gone.c_str()), nullptr);
    EXPECT_EQ(selectedPath(), files.pathOf(L"a\\b"));

    PictureFolder elsewhere(L"korvilane-shltree-other");
    HTREEITEM before = tree.getSelection();
    EXPECT_EQ(tree.selectPath(elsewhere.path().c_str()), nullptr);
    EXPECT_EQ(tree.selectPath(L"Q:\\no\\such\\drive"), nullptr);
    EXPECT_EQ(tree.getSelection(), before) << "nothing outside the root is selected";
}

TEST_F(ShellTreeView, TheIncludeFilterHidesFoldersAndSetPathStartsAfresh)
{
    tree.hidden = L"empty";
    ASSERT_TRUE(tree.setPath(files.path().c_str()));
    EXPECT_EQ(childrenOf(tree.getRoot()), (std::vector<std::wstring>{L"a"}));

    tree.hidden.clear();
    ASSERT_TRUE(tree.setPath(files.pathOf(L"a").c_str()));
    EXPECT_EQ(textOf(tree.getRoot()), L"a");
    EXPECT_EQ(next(tree.getRoot(), TVGN_NEXT), nullptr) << "one top item";
    EXPECT_EQ(tree.controller().recordCount(), 3) << "the root and its two folders";
}

TEST_F(ShellTreeView, TheComputerFolderListsTheDrivesAndAGoneWindowThrows)
{
    ASSERT_TRUE(tree.setPath(L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));
    std::vector<std::wstring> drives = childrenOf(tree.getRoot());
    EXPECT_FALSE(drives.empty());
    EXPECT_FALSE(isExpanded(tree.getRoot()));
    ASSERT_NE(tree.selectPath(files.path().c_str()), nullptr);
    EXPECT_EQ(selectedPath(), files.path());

    DestroyWindow(tree.getHandle());
    EXPECT_THROW(tree.setPath(files.path().c_str()), Exception);
}
