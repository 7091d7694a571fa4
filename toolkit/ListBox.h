#pragma once
#include "toolkit/Control.h"

inline constexpr wchar_t ListBoxClassName[] = L"ListBox";

// A list of strings. Indexes are checked before any message is sent: a bad one throws Exception 87; a full
// list throws Exception 8.
class ListBox : public ClassControl<ListBoxClassName> {
public:
    void addString(const wstring& text);
    // Index 0 … count; count appends.
    void insertString(int index, const wstring& text);
    void deleteString(int index);
    int getCount() const { return static_cast<int>(sendMessage(LB_GETCOUNT)); }
    // -1 clears the selection.
    void setCurSel(int index);
    int getCurSel() const { return static_cast<int>(sendMessage(LB_GETCURSEL)); }
    wstring getString(int index) const;

private:
    void checkIndex(int index, int lowest, int highest) const;
};
