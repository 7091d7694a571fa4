#pragma once
#include "toolkit/Control.h"

class wstringArray;

inline constexpr wchar_t ComboBoxClassName[] = L"ComboBox";

// A drop-down list. Indexes are checked before any message is sent.
class ComboBox : public ClassControl<ComboBoxClassName> {
public:
    // Appends the strings in order; a full list throws Exception 8.
    void addStrings(const wstringArray& strings);
    // -1 clears the selection; an index below -1 or past the last item throws Exception 87.
    void setCurSel(int index);
    int getCurSel() const { return static_cast<int>(sendMessage(CB_GETCURSEL)); }
};
