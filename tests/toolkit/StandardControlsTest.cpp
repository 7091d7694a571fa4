#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "ToolkitTesting.h"
#include "foundation/wstringArray.h"
#include "support/ExpectCode.h"
#include "toolkit/Brush.h"
#include "toolkit/Button.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ComboBoxEx.h"
#include "toolkit/DynamicLinkLibrary.h"
#include "toolkit/Edit.h"
#include "toolkit/Font.h"
#include "toolkit/ListBox.h"
#include "toolkit/ListView.h"
#include "toolkit/Slider.h"
#include "toolkit/Static.h"
#include "toolkit/ToolTip.h"
#include "toolkit/WaitCursor.h"

namespace {

const Rect Place(10, 10, 200, 120);

class StandardControls : public testing::Test {
protected:
    HWND parentHandle() const { return parent.getHandle(); }

    ParentWindow parent;
};

wstring listBoxContents(const ListBox& list)
{
    wstring all;
    for (int i = 0; i < list.getCount(); ++i)
        all += list.getString(i) + L";";
    return all;
}

} // namespace

TEST_F(StandardControls, EachWrapperAttachesOnlyToItsOwnClassAndCreatesVisibleChildren)
{
    HWND button = CreateWindowExW(0, L"Button", L"OK", WS_CHILD, 0, 0, 50, 20, parentHandle(), nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    Button asButton;
    EXPECT_EQ(asButton.attach(button), nullptr);
    Static asStatic;
    EXPECT_EQ(thrownCode([&] { asStatic.attach(button); }), ErrorCode::InvalidArgument);

    ListView view;
    view.create(parentHandle(), 7, Place, 0, LVS_REPORT);
    EXPECT_EQ(GetDlgCtrlID(view.getHandle()), 7);
    EXPECT_EQ(GetWindowLongPtrW(view.getHandle(), GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
    RECT bounds;
    GetWindowRect(view.getHandle(), &bounds);
    EXPECT_EQ(bounds.right - bounds.left, Place.right) << "the rectangle holds the width";
}

TEST_F(StandardControls, ButtonsKeepTheirCheckAndEditsTheirLimit)
{
    Button check;
    check.create(parentHandle(), 1, Place, 0, BS_AUTOCHECKBOX);
    check.setCheck(true);
    EXPECT_TRUE(check.getCheck());
    check.setCheck(false);
    EXPECT_FALSE(check.getCheck());

    Edit edit;
    edit.create(parentHandle(), 2, Place, 0, ES_AUTOHSCROLL);
    edit.limitText(4);
    for (wchar_t c : std::wstring(L"日本語の名前"))
        SendMessageW(edit.getHandle(), WM_CHAR, c, 1);
    EXPECT_TRUE(edit.getText() == L"日本語の");
}

TEST_F(StandardControls, ListsCheckTheirIndexesBeforeAskingTheControl)
{
    ListBox list;
    list.create(parentHandle(), 1, Place, 0, 0);
    list.addString(L"二");
    list.insertString(0, L"一");
    list.insertString(list.getCount(), L"三"); // at the count: appended
    EXPECT_TRUE(listBoxContents(list) == L"一;二;三;");
    EXPECT_EQ(thrownCode([&] { list.insertString(4, L"x"); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(thrownCode([&] { list.deleteString(3); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(thrownCode([&] { list.getString(-1); }), ErrorCode::InvalidArgument);
    list.setCurSel(2);
    EXPECT_EQ(list.getCurSel(), 2);
    list.setCurSel(-1);
    EXPECT_EQ(list.getCurSel(), LB_ERR) << "-1 clears the selection";
    EXPECT_EQ(thrownCode([&] { list.setCurSel(-2); }), ErrorCode::InvalidArgument);
    list.deleteString(1);
    EXPECT_TRUE(listBoxContents(list) == L"一;三;");

    ComboBox combo;
    combo.create(parentHandle(), 2, Place, 0, CBS_DROPDOWNLIST);
    wstringArray items;
    items.split(L"JPEG;PNG;GIF", L";", false);
    combo.addStrings(items);
    combo.setCurSel(1);
    EXPECT_EQ(combo.getCurSel(), 1);
    EXPECT_TRUE(combo.getText() == L"PNG");
    combo.setCurSel(-1);
    EXPECT_EQ(combo.getCurSel(), CB_ERR);
    EXPECT_EQ(thrownCode([&] { combo.setCurSel(-2); }), ErrorCode::InvalidArgument);
    EXPECT_EQ(thrownCode([&] { combo.setCurSel(3); }), ErrorCode::InvalidArgument);
}

TEST_F(StandardControls, AListViewFindsItsSelectionAndReadsItsCells)
{
    ListView view;
    view.create(parentHandle(), 1, Place, 0, LVS_REPORT);
    EXPECT_EQ(view.getSelectedIndex(), -1) << "an empty list";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<wchar_t*>(L"名前");
    EXPECT_TRUE(view.insertColumn(0, column));
    EXPECT_TRUE(view.insertColumn(1, column));
    for (const wchar_t* name : {L"a.jpg", L"b.png", L"c.gif"}) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = view.getItemCount();
        item.pszText = const_cast<wchar_t*>(name);
        EXPECT_EQ(view.insertItem(item), item.iItem);
    }
    LVITEMW cell{};
    cell.mask = LVIF_TEXT;
    cell.iItem = 1;
    cell.iSubItem = 1;
    cell.pszText = const_cast<wchar_t*>(L"12 KB");
    EXPECT_TRUE(view.setItem(cell));
    wchar_t text[ListView::ItemTextCapacity];
    EXPECT_TRUE(view.getItemText(1, 1, text));
    EXPECT_STREQ(text, L"12 KB");
    EXPECT_EQ(view.getSelectedIndex(), -1);
    EXPECT_TRUE(view.select(2));
    EXPECT_EQ(view.getSelectedIndex(), 2);
    view.deleteItem(0);
    EXPECT_EQ(view.getItemCount(), 2);
    EXPECT_EQ(view.getSelectedIndex(), 1);
    EXPECT_EQ(thrownCode([&] { view.deleteItem(5); }), ErrorCode::InvalidArgument);
}

TEST_F(StandardControls, SliderToolTipAndImageComboDoWhatTheirOwnersAsk)
{
    Slider slider;
    slider.create(parentHandle(), 1, Place, 0, 0);
    Static buddy;
    buddy.create(parentHandle(), 2, Rect(0, 0, 20, 20), 0, 0);
    slider.setRange();
    slider.setPos(150);
    EXPECT_EQ(slider.getPos(), 100) << "the range ends at 100";
    slider.setBuddy(buddy.getHandle(), true);
    EXPECT_EQ(SendMessageW(slider.getHandle(), TBM_GETBUDDY, TRUE, 0), reinterpret_cast<LRESULT>(buddy.getHandle()));

    ToolTip tips;
    HWND tipWindow = tips.create(parentHandle(), TTS_ALWAYSTIP);
    ASSERT_TRUE(tipWindow);
    EXPECT_EQ(GetWindowLongPtrW(tipWindow, GWL_STYLE) & WS_CHILD, 0) << "a pop-up of its own";
    EXPECT_TRUE(tips.addTool(slider.getHandle(), nullptr, L"明るさ"));
    EXPECT_EQ(SendMessageW(tipWindow, TTM_GETTOOLCOUNT, 0, 0), 1);
    tips.setMaxTipWidth();
    EXPECT_EQ(SendMessageW(tipWindow, TTM_GETMAXTIPWIDTH, 0, 0), 400);
    tips.removeTool(slider.getHandle());
    EXPECT_EQ(SendMessageW(tipWindow, TTM_GETTOOLCOUNT, 0, 0), 0);
    DestroyWindow(tipWindow);

    ComboBoxEx formats;
    formats.create(parentHandle(), 3, Place, 0, CBS_DROPDOWNLIST);
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 2, 0);
    formats.setImageList(images);
    formats.addItem(L"ビットマップ", 1);
    formats.addItem(L"なし", -1);
    COMBOBOXEXITEMW item{};
    wchar_t text[32];
    item.mask = CBEIF_TEXT | CBEIF_IMAGE;
    item.iItem = 0;
    item.pszText = text;
    item.cchTextMax = 32;
    ASSERT_TRUE(SendMessageW(formats.getHandle(), CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(text, L"ビットマップ");
    EXPECT_EQ(item.iImage, 1);
    DestroyWindow(formats.getHandle());
    ImageList_Destroy(images);
}

TEST_F(StandardControls, EveryOperationRefusesAClosedControl)
{
    Button button;
    Edit edit;
    ComboBox combo;
    ListBox list;
    ListView view;
    Slider slider;
    ToolTip tips;
    ComboBoxEx comboEx;
    std::vector<Control*> controls = {&button, &edit, &combo, &list, &view, &slider, &comboEx};
    for (size_t i = 0; i < controls.size(); ++i)
        controls[i]->create(parentHandle(), static_cast<int>(i) + 1, Place, 0, 0);
    tips.create(parentHandle(), 0);
    for (Control* control : controls)
        DestroyWindow(control->getHandle());
    DestroyWindow(tips.getHandle());

    wstringArray none;
    LVITEMW item{};
    LVCOLUMNW column{};
    wchar_t text[ListView::ItemTextCapacity];
    const std::vector<std::function<void()>> operations = {
        [&] { button.setCheck(true); }, [&] { button.getCheck(); }, [&] { edit.limitText(3); },
        [&] { combo.addStrings(none); }, [&] { combo.setCurSel(0); }, [&] { combo.getCurSel(); },
        [&] { list.addString(L"x"); }, [&] { list.insertString(0, L"x"); }, [&] { list.deleteString(0); },
        [&] { list.getCount(); }, [&] { list.setCurSel(0); }, [&] { list.getCurSel(); },
        [&] { list.getString(0); }, [&] { view.insertColumn(0, column); }, [&] { view.setItem(item); },
        [&] { view.insertItem(item); }, [&] { view.deleteItem(0); }, [&] { view.getItemCount(); },
        [&] { view.getSelectedIndex(); }, [&] { view.select(0); }, [&] { view.getItemText(0, 0, text); },
        [&] { slider.setRange(); }, [&] { slider.setPageSize(); }, [&] { slider.setPos(1); },
        [&] { slider.getPos(); }, [&] { slider.setBuddy(nullptr, true); },
        [&] { tips.addTool(nullptr, nullptr, L"x"); }, [&] { tips.removeTool(nullptr); },
        [&] { tips.setMaxTipWidth(); }, [&] { comboEx.setImageList(nullptr); }, [&] { comboEx.addItem(L"x", 0); },
    };
    for (size_t i = 0; i < operations.size(); ++i)
        EXPECT_EQ(thrownCode(operations[i]), ErrorCode::WindowGone) << "operation " << i;
}

TEST(DrawingHandles, BrushesFontsAndCursorsHaveOneOwnerEach)
{
    SolidBrush brush;
    ASSERT_TRUE(brush.create(RGB(10, 20, 30)));
    LOGBRUSH description{};
    GetObjectW(brush.handle(), sizeof(description), &description);
    EXPECT_EQ(description.lbColor, RGB(10, 20, 30));
    HBRUSH first = brush.handle();
    ASSERT_TRUE(brush.create(RGB(1, 2, 3)));
    EXPECT_EQ(GetObjectType(first), 0u) << "the brush held before is deleted";

    Font font;
    ASSERT_TRUE(font.create(nullptr, InstalledFace, 12, FW_BOLD, true, false, false, DEFAULT_CHARSET));
    LOGFONTW made{};
    GetObjectW(font.handle(), sizeof(made), &made);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(made.lfHeight, -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(font.release());
    EXPECT_FALSE(font.release());
    // The program names its log's faces as a list, first choice first.
    EXPECT_EQ(firstInstalledFace(wstring(MissingFace) + L"/" + InstalledFace + L"/Tahoma"), wstring(InstalledFace));
    EXPECT_TRUE(firstInstalledFace(MissingFace).isEmpty());

    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    SetCursor(arrow);
    {
        WaitCursor wait;
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    }
    EXPECT_EQ(GetCursor(), arrow);

    DynamicLinkLibrary richEdit(L"riched20.dll");
    EXPECT_TRUE(richEdit.get());
}
