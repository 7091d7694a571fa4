#include <gtest/gtest.h>
#include <string>
#include "ToolkitTesting.h"
#include "support/DragData.h"
#include "support/PictureFolder.h"
#include "toolkit/FileDropHandler.h"

namespace {

// Tells when the last reference is gone.
class WatchedHandler : public FileDropHandler {
public:
    WatchedHandler(HWND target, bool& deleted) : FileDropHandler(target), deleted(deleted) {}
    ~WatchedHandler() override { deleted = true; }

private:
    bool& deleted;
};

class FileDrop : public testing::Test {
protected:
    FileDrop() : files(L"korvilane-filedrop")
    {
        OleInitialize(nullptr);
        edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"before", WS_CHILD | WS_VISIBLE, 20, 20, 200, 24,
                               parent.getHandle(), nullptr, nullptr, nullptr);
        handler = new WatchedHandler(edit, deleted);
    }
    ~FileDrop() override
    {
        if (!deleted)
            handler->Release();
        parent.destroy();
        OleUninitialize();
    }

    // A point of the edit in screen coordinates, relative to its client area.
    POINTL at(int x, int y) const
    {
        POINT point{x, y};
        ClientToScreen(edit, &point);
        return {point.x, point.y};
    }
    POINTL inside() const { return at(5, 5); }
    std::wstring editText() const
    {
        wchar_t text[1024] = L"";
        GetWindowTextW(edit, text, 1024);
        return text;
    }
    // DragEnter over the point, then Drop there; the effects each reported.
    std::pair<DWORD, DWORD> dragAndDrop(IDataObject* data, POINTL point)
    {
        DWORD entered = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(handler->DragEnter(data, MK_LBUTTON, point, &entered), S_OK);
        DWORD dropped = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(handler->Drop(data, 0, point, &dropped), S_OK);
        return {entered, dropped};
    }

    ParentWindow parent;
    PictureFolder files;
    HWND edit = nullptr;
    bool deleted = false;
    FileDropHandler* handler = nullptr;
};

} // namespace

TEST_F(FileDrop, ThreeShellFilesWriteOnlyTheFirstPath)
{
    files.file(L"one.lay", 1);
    files.file(L"two.lay", 1);
    files.file(L"three.lay", 1);
    ComPtr<IDataObject> data(shellDataObjectOf(files.path(), {L"one.lay", L"two.lay", L"three.lay"}));
    ASSERT_NE(data.get(), nullptr);
    auto [entered, dropped] = dragAndDrop(data.get(), inside());
    EXPECT_EQ(entered, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(dropped, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(editText(), files.pathOf(L"one.lay"));
}

TEST_F(FileDrop, TextAndDropsOutsideTheFieldAreRefused)
{
    ComPtr<IDataObject> text(new OneFormatData(CF_UNICODETEXT, textBlock(L"C:\\text.lay")));
    auto [entered, dropped] = dragAndDrop(text.get(), inside());
    EXPECT_EQ(entered, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(dropped, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(editText(), L"before");

    ComPtr<IDataObject> file(new OneFormatData(CF_HDROP, fileDropBlock({L"C:\\a.lay"})));
    RECT client;
    GetClientRect(edit, &client);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(handler->DragEnter(file.get(), 0, at(client.right + 1, 5), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "on the border, outside the client area";
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(handler->DragOver(0, at(-1, 5), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    handler->DragOver(0, inside(), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(handler->DragLeave(), S_OK);
    effect = DROPEFFECT_COPY;
    handler->DragOver(0, inside(), &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "nothing is held after the drag left";
    EXPECT_EQ(editText(), L"before");
}

TEST_F(FileDrop, APathLongerThan260CharactersIsNotCut)
{
    std::wstring path = L"C:\\" + std::wstring(300, L'x') + L"\\layout.lay";
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    ComPtr<IDataObject> file(new OneFormatData(CF_HDROP, fileDropBlock({path, L"C:\\second.lay"})));
    dragAndDrop(file.get(), inside());
    EXPECT_EQ(editText().size(), path.size());
    EXPECT_EQ(editText(), path);
}

TEST_F(FileDrop, NullArgumentsAreRefusedAndTheLastReleaseDeletes)
{
    ComPtr<IDataObject> file(new OneFormatData(CF_HDROP, fileDropBlock({L"C:\\a.lay"})));
    DWORD effect = 0;
    EXPECT_EQ(handler->DragEnter(nullptr, 0, inside(), &effect), E_POINTER);
    EXPECT_EQ(handler->DragEnter(file.get(), 0, inside(), nullptr), E_POINTER);
    EXPECT_EQ(handler->DragOver(0, inside(), nullptr), E_POINTER);
    EXPECT_EQ(handler->Drop(nullptr, 0, inside(), &effect), E_POINTER);
    EXPECT_EQ(handler->Drop(file.get(), 0, inside(), nullptr), E_POINTER);
    EXPECT_EQ(handler->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);
    void* other = &effect;
    EXPECT_EQ(handler->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    IDropTarget* target = nullptr;
    ASSERT_EQ(handler->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&target)), S_OK);
    ASSERT_EQ(handler->registerFor(parent.getHandle()), S_OK);
    EXPECT_EQ(handler->registerFor(parent.getHandle()), S_OK) << "the earlier registration is revoked first";
    handler->revoke();
    target->Release();
    EXPECT_FALSE(deleted);
    handler->Release();
    EXPECT_TRUE(deleted);
}
