#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>

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

// The state bits that show a shell item's attributes on its icon in a list or tree view (the bits are the
// same for both): the hand of a shared folder (winning over a link's arrow), or the faded look of a hidden
// item alone. The mask gets the bits that the state sets.
UINT shellOverlayState(SFGAOF attributes, UINT& mask);
