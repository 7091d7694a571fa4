#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t ListViewClassName[] = WC_LISTVIEWW;

// A list view; the base of the program's own lists.
class ListView : public ClassControl<ListViewClassName> {
public:
    // The longest item text that getItemText reads.
    static constexpr int ItemTextCapacity = 1024;

    bool insertColumn(int index, const LVCOLUMNW& column);
    bool setItem(const LVITEMW& item);
    // The new item's index, -1 on failure.
    int insertItem(const LVITEMW& item);
    // The same, handed straight to the list view's own procedure past the procedures that subclass the
    // window (none of which has a say in inserting).
    int insertItemPastSubclasses(const LVITEMW& item);
    // An item the list refuses to delete throws Exception 87.
    void deleteItem(int index);
    int getItemCount() const { return static_cast<int>(sendMessage(LVM_GETITEMCOUNT)); }
    // The first selected item; -1 when none is.
    int getSelectedIndex() const;
    // Selects and focuses the item.
    bool select(int index);
    // Reads into a buffer of ItemTextCapacity characters; the buffer is empty when nothing was read.
    bool getItemText(int item, int subItem, wchar_t* buffer) const;
};
