#pragma once
#include "toolkit/Control.h"
#include <commctrl.h>

inline constexpr wchar_t ComboBoxExClassName[] = WC_COMBOBOXEXW;

// A drop-down list with an image beside each item.
class ComboBoxEx : public ClassControl<ComboBoxExClassName> {
public:
    void setImageList(HIMAGELIST images) { sendMessage(CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images)); }
    // Appends the item with the image of that index (none when negative); a full list throws Exception 8.
    void addItem(const wstring& text, int imageIndex);
    // -1 clears the selection; an index below -1 or past the last item throws Exception 87.
    void setCurSel(int index);
    int getCurSel() const { return static_cast<int>(sendMessage(CB_GETCURSEL)); }
};
