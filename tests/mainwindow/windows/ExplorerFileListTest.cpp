#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "support/ExpectCode.h"
#include "mainwindow/EBFileListView.h"
#include "mainwindow/ShellItemIteration.h"

namespace {

// Shell items that know only their names, and an array of them that counts its references.
class FakeItem : public IShellItem {
public:
    explicit FakeItem(std::wstring name) : name(std::move(name)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IShellItem))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --references;
        if (!left)
            delete this;
        return left;
    }
    STDMETHODIMP BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetParent(IShellItem**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(SIGDN form, LPWSTR* text) override
    {
        if (form != SIGDN_DESKTOPABSOLUTEPARSING)
            return E_INVALIDARG;
        size_t bytes = (name.size() + 1) * sizeof(wchar_t);
        *text = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
        std::memcpy(*text, name.c_str(), bytes);
        return S_OK;
    }
    STDMETHODIMP GetAttributes(SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    STDMETHODIMP Compare(IShellItem*, SICHINTF, int*) override { return E_NOTIMPL; }

private:
    virtual ~FakeItem() = default;
    std::wstring name;
    ULONG references = 1;
};

class FakeArray : public IShellItemArray {
public:
    FakeArray(std::vector<std::wstring> names, bool& released) : names(std::move(names)), released(released) {}
    STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = --references;
        if (!left) {
            released = true;
            delete this;
        }
        return left;
    }
    STDMETHODIMP BindToHandler(IBindCtx*, REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetPropertyStore(GETPROPERTYSTOREFLAGS, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetPropertyDescriptionList(REFPROPERTYKEY, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP GetAttributes(SIATTRIBFLAGS, SFGAOF, SFGAOF*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCount(DWORD* count) override
    {
        *count = static_cast<DWORD>(names.size());
        return S_OK;
    }
    STDMETHODIMP GetItemAt(DWORD index, IShellItem** item) override
    {
        if (index >= names.size())
            return E_INVALIDARG;
        *item = new FakeItem(names[index]);
        return S_OK;
    }
    STDMETHODIMP EnumItems(IEnumShellItems**) override { return E_NOTIMPL; }

private:
    virtual ~FakeArray() = default;
    std::vector<std::wstring> names;
    bool& released;
    ULONG references = 1;
};

bool sameKey(const PROPERTYKEY& key, const GUID& format, DWORD id)
{
    return IsEqualGUID(key.fmtid, format) && key.pid == id;
}

const GUID Storage = {0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}};
const GUID ItemFormat = {0xE3E0584C, 0xB788, 0x4A5A, {0xBB, 0x20, 0x7F, 0x5A, 0x44, 0xC9, 0xAC, 0xDD}};
const GUID FileNameFormat = {0x41CF5AE0, 0xF75A, 0x4806, {0xBD, 0x87, 0x59, 0xC7, 0xD9, 0x24, 0x8E, 0xB9}};
const GUID NarrowFormat = {0x28636AA6, 0x953D, 0x11D2, {0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

} // namespace

TEST(ExplorerFileList, TheFirstColumnFollowsTheViewModeAndTheOthersStay)
{
    EXPECT_TRUE(sameKey(fileListColumnKey(IFileListView::FullPathView, 0), ItemFormat, 7));
    EXPECT_TRUE(sameKey(fileListColumnKey(IFileListView::FileNameView, 0), FileNameFormat, 100));
    EXPECT_TRUE(sameKey(fileListColumnKey(IFileListView::NameWithFolderView, 0), NarrowFormat, 8));
    EXPECT_TRUE(sameKey(fileListColumnKey(IFileListView::ContentView, 0), ItemFormat, 7));
    EXPECT_TRUE(sameKey(fileListColumnKey(IFileListView::IconView, 0), ItemFormat, 7));
    for (int mode = 0; mode <= 4; ++mode) {
        EXPECT_TRUE(sameKey(fileListColumnKey(mode, 1), Storage, 12)) << "size in mode " << mode;
        EXPECT_TRUE(sameKey(fileListColumnKey(mode, 2), Storage, 4)) << "type in mode " << mode;
        EXPECT_TRUE(sameKey(fileListColumnKey(mode, 3), Storage, 14)) << "date in mode " << mode;
    }
    EXPECT_EQ(thrownCode([] { fileListColumnKey(0, 4); }), ErrorCode::InvalidArgument);
}

TEST(ExplorerFileList, TheItemWalkGivesEveryNameInOrderThenEndsAndLetsTheArrayGo)
{
    ShellItemIteration walk;
    EXPECT_EQ(walk.first(nullptr).length(), 0) << "nothing selected";
    EXPECT_EQ(thrownCode([&] { walk.next(); }), ErrorCode::InvalidState);

    bool emptyReleased = false;
    EXPECT_EQ(walk.first(new FakeArray({}, emptyReleased)).length(), 0);
    EXPECT_TRUE(emptyReleased);
    EXPECT_FALSE(walk.isGoing());

    bool released = false;
    std::vector<std::wstring> seen{
        walk.first(new FakeArray({L"C:\\a.png", L"C:\\b.png", L"D:\\c.png"}, released)).buffer()};
    for (wstring name = walk.next(); !name.isEmpty(); name = walk.next())
        seen.push_back(name.buffer());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"C:\\a.png", L"C:\\b.png", L"D:\\c.png"}));
    EXPECT_TRUE(released) << "the ended walk holds no array";
    EXPECT_EQ(thrownCode([&] { walk.next(); }), ErrorCode::InvalidState);

    bool replaced = false;
    walk.first(new FakeArray({L"C:\\x.png", L"C:\\y.png"}, replaced));
    walk.first(nullptr);
    EXPECT_TRUE(replaced) << "a new walk lets the old array go";
}
