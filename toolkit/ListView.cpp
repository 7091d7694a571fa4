#include "toolkit/ListView.h"

bool ListView::insertColumn(int index, const LVCOLUMNW& column)
{
    return sendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)) >= 0;
}

bool ListView::setItem(const LVITEMW& item)
{
    return sendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

int ListView::insertItem(const LVITEMW& item)
{
    return static_cast<int>(sendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

int ListView::insertItemPastSubclasses(const LVITEMW& item)
{
    HWND list = liveHandle();
    auto own = reinterpret_cast<WNDPROC>(GetClassLongPtrW(list, GCLP_WNDPROC));
    return static_cast<int>(CallWindowProcW(own, list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

void ListView::deleteItem(int index)
{
    if (!sendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index)))
        throw Exception(ErrorCode::InvalidArgument);
}

int ListView::getSelectedIndex() const
{
    return static_cast<int>(sendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

bool ListView::select(int index)
{
    LVITEMW item{};
    item.mask = LVIF_STATE;
    item.iItem = index;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    return setItem(item);
}

bool ListView::getItemText(int index, int subItem, wchar_t* buffer) const
{
    buffer[0] = 0;
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.iSubItem = subItem;
    item.pszText = buffer;
    item.cchTextMax = ItemTextCapacity;
    return sendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}
