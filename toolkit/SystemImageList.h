#pragma once
#include <windows.h>
#include <commctrl.h>

// The shell's list of file icons, shared by every program: it is never destroyed here.
class SystemImageList {
public:
    // The small-icon list. Throws Exception with the HRESULT when the desktop folder cannot be found, E_FAIL
    // when the shell gives no list.
    SystemImageList();

    HIMAGELIST handle() const { return list; }
    void setLargeIcons(bool large) { largeIcons = large; }
    // The index of the icon of an existing file or folder, small or large as set. E_FAIL when the shell has
    // none.
    int iconIndex(const wchar_t* path) const;

private:
    HIMAGELIST list = nullptr;
    bool largeIcons = false;
};
