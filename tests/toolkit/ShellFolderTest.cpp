#include <gtest/gtest.h>
#include <objbase.h>
#include <set>
#include <vector>
#include "support/ComTesting.h"
#include "support/ExpectCode.h"
#include "foundation/MemPtr.h"
#include "support/PictureFolder.h"
#include "toolkit/ItemIdList.h"
#include "toolkit/ShellFolder.h"
#include "toolkit/ShellFolderCache.h"

namespace {

// An identifier list made of items with the given bytes after their counts.
std::vector<BYTE> idList(std::initializer_list<std::vector<BYTE>> items)
{
    std::vector<BYTE> bytes;
    for (const auto& item : items) {
        USHORT size = static_cast<USHORT>(item.size() + 2);
        bytes.push_back(LOBYTE(size));
        bytes.push_back(HIBYTE(size));
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

LPCITEMIDLIST asList(const std::vector<BYTE>& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

} // namespace

TEST(ItemIdLists, OrderItemByItemAndALeadingPartCountsAsInsideUnlessExact)
{
    auto folder = idList({{'C', ':'}, {'p', 'i', 'x'}});
    auto file = idList({{'C', ':'}, {'p', 'i', 'x'}, {'a'}});
    auto sibling = idList({{'C', ':'}, {'p', 'i', 'y'}});
    auto longer = idList({{'C', ':'}, {'p', 'i', 'x', '2'}});

    EXPECT_EQ(compareIdLists(asList(file), asList(file), true), 0);
    EXPECT_EQ(compareIdLists(asList(folder), asList(file), false), 0) << "the file lies inside the folder";
    EXPECT_EQ(compareIdLists(asList(folder), asList(file), true), -1) << "the folder's list ends first";
    EXPECT_EQ(compareIdLists(asList(file), asList(folder), true), 1);
    EXPECT_EQ(compareIdLists(asList(folder), asList(sibling), false), -1) << "the bytes decide";
    EXPECT_EQ(compareIdLists(asList(longer), asList(sibling), false), 1) << "the shorter item orders first";
    EXPECT_EQ(thrownCode([&] { compareIdLists(nullptr, asList(file), false); }), ErrorCode::InvalidArgument);

    MemPtr empty;
    *empty.out<ITEMIDLIST>() = concatIdLists(nullptr, nullptr);
    EXPECT_EQ(idListSize(empty.get<ITEMIDLIST>()), 0u);
    EXPECT_EQ(*empty.get<USHORT>(), 0) << "two zero bytes";
    MemPtr joined;
    *joined.out<ITEMIDLIST>() = concatIdLists(asList(folder), asList(idList({{'a'}})));
    EXPECT_EQ(idListSize(joined.get<ITEMIDLIST>()), file.size() - 2);
    EXPECT_EQ(compareIdLists(joined.get<ITEMIDLIST>(), asList(file), true), 0);
}

TEST(ItemIdLists, TheLastItemSplitsOffFromItsParent)
{
    auto file = idList({{'C', ':'}, {'p', 'i', 'x'}, {'a'}});
    auto folder = idList({{'C', ':'}, {'p', 'i', 'x'}});
    EXPECT_EQ(compareIdLists(lastIdListItem(asList(file)), asList(idList({{'a'}})), true), 0);
    OwnedIdList parent(idListParent(asList(file)));
    EXPECT_EQ(compareIdLists(parent.get(), asList(folder), true), 0);
    OwnedIdList top(idListParent(asList(idList({{'C', ':'}}))));
    EXPECT_EQ(idListSize(top.get()), 0u) << "one item: the parent is the empty list";
    std::vector<BYTE> empty{0, 0};
    EXPECT_EQ(idListSize(lastIdListItem(asList(empty))), 0u);
}

TEST(ShellFolders, AFolderIsWalkedChildByChildAndItsChildrenBecomeShellItems)
{
    ComApartment com;
    PictureFolder files(L"korvilane-shellfolder");
    std::wstring picture = files.picture(L"Bild.bmp", 8, 8);
    files.file(L"notes.txt", 10);
    std::wstring empty = files.folder(L"empty");

    ShellFolder folder(nullptr);
    EXPECT_EQ(thrownCode([&] { folder.next(); }), ErrorCode::InvalidState) << "nothing open yet";
    EXPECT_TRUE(folder.open(files.path().c_str()).equals(files.path().c_str()));
    std::set<std::wstring> names;
    while (folder.next()) {
        names.insert(folder.currentFileName().buffer());
        if (folder.currentFileName().equals(L"empty")) {
            EXPECT_EQ(folder.attributesOf(SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FOLDER | SFGAO_FILESYSTEM);
        }
    }
    EXPECT_EQ(names, (std::set<std::wstring>{L"Bild.bmp", L"notes.txt", L"empty"}));

    // Found whatever the letter case; the shell item names the file by its full path.
    folder.openItem(files.pathOf(L"BILD.BMP").c_str());
    EXPECT_TRUE(folder.currentParsingName().equals(picture.c_str()));
    ComPtr<IShellItem2> item(folder.currentItem());
    MemPtr name;
    ASSERT_EQ(item->GetDisplayName(SIGDN_DESKTOPABSOLUTEPARSING, name.out<wchar_t>()), S_OK);
    EXPECT_EQ(std::wstring(name.get<wchar_t>()), picture);
    EXPECT_EQ(thrownCode([&] { folder.openItem(files.pathOf(L"missing.bmp").c_str()); }), ERROR_FILE_NOT_FOUND);

    folder.open(empty.c_str());
    EXPECT_FALSE(folder.next()) << "a folder without children ends at once";
    EXPECT_NE(thrownCode([&] { folder.open(files.pathOf(L"missing\\deeper").c_str()); }), -1);
    EXPECT_FALSE(folder.isOpen()) << "a failed open leaves the object closed";
    EXPECT_EQ(thrownCode([&] { folder.next(); }), ErrorCode::InvalidState);
}

TEST(ShellFolders, ADriveRootIsAnItemOfTheComputerFolder)
{
    ComApartment com;
    wchar_t temporary[MAX_PATH] = L"";
    ASSERT_GT(GetTempPathW(MAX_PATH, temporary), 3u);
    std::wstring root(temporary, 3);

    ShellFolder folder(nullptr);
    folder.openItem(root.c_str());
    EXPECT_EQ(std::wstring(folder.currentParsingName().buffer()), root);
    EXPECT_EQ(folder.attributesOf(SFGAO_FOLDER | SFGAO_FILESYSTEM), SFGAO_FOLDER | SFGAO_FILESYSTEM);
}

TEST(ShellFolders, AnIndexedFolderFindsItsChildrenAsTheShellParsesThem)
{
    ComApartment com;
    PictureFolder files(L"korvilane-shellindex");
    for (const wchar_t* name : {L"a.bmp", L"写真.JPG", L"b c.png"})
        files.picture(name, 4, 4);
    std::wstring sub = files.folder(L"sub");

    ShellFolder parsed(nullptr);
    ShellFolder indexed(nullptr);
    indexed.openForLookup(files.path().c_str());
    indexed.indexChildren();
    ASSERT_TRUE(indexed.isIndexed());
    for (const wchar_t* name : {L"A.BMP", L"写真.jpg", L"b c.png", L"sub"}) {
        parsed.openItem(files.pathOf(name).c_str());
        ASSERT_TRUE(indexed.stepTo(name)) << name;
        EXPECT_TRUE(indexed.currentParsingName().equals(parsed.currentParsingName())) << name;
        EXPECT_EQ(indexed.attributesOf(SFGAO_FOLDER | SFGAO_FILESYSTEM),
                  parsed.attributesOf(SFGAO_FOLDER | SFGAO_FILESYSTEM))
            << name;
    }
    EXPECT_FALSE(indexed.stepTo(L"missing.bmp"));
    std::wstring later = files.picture(L"later.bmp", 4, 4);
    EXPECT_TRUE(indexed.stepTo(L"later.bmp")) << "a file made after the listing";
    EXPECT_TRUE(indexed.currentParsingName().equals(later.c_str()));
}

TEST(ShellFolders, ACacheOpensEachFolderOnceAndIndexesTheOnesAskedForManyFiles)
{
    ComApartment com;
    PictureFolder files(L"korvilane-shellcache");
    std::vector<std::wstring> many;
    for (int i = 0; i < 40; ++i)
        many.push_back(files.picture(L"p" + std::to_wstring(i) + L".bmp", 2, 2));
    std::wstring other = files.folder(L"other");
    PictureFolder elsewhere(L"korvilane-shellcache2");
    std::wstring lone = elsewhere.picture(L"lone.bmp", 2, 2);

    ShellFolderCache cache(nullptr);
    ShellFolder* first = &cache.openItem(many[0].c_str());
    for (const std::wstring& path : many) {
        ShellFolder& folder = cache.openItem(path.c_str());
        EXPECT_EQ(&folder, first) << "the folder is opened once";
        EXPECT_TRUE(folder.currentParsingName().equals(path.c_str()));
    }
    EXPECT_TRUE(first->isIndexed()) << "asked for 40 files, the folder lists its children once";
    EXPECT_TRUE(cache.openItem(lone.c_str()).currentParsingName().equals(lone.c_str()));
    EXPECT_TRUE(cache.openItem((other + L"\\").c_str()).currentParsingName().equals(other.c_str()))
        << "a folder given with a trailing backslash is itself";
    EXPECT_EQ(thrownCode([&] { cache.openItem(files.pathOf(L"gone.bmp").c_str()); }), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(cache.openItem(many[7].c_str()).currentParsingName().equals(many[7].c_str()))
        << "a miss leaves the folder usable";
}
