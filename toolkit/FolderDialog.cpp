#include "toolkit/FolderDialog.h"
#include <shlwapi.h>
#include "foundation/ComPtr.h"

namespace {

int CALLBACK preselect(HWND dialog, UINT message, LPARAM, LPARAM folder)
{
    if (message == BFFM_INITIALIZED && folder)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, folder);
    return 0;
}

// The parsing name of the item, which may be longer than a path buffer holds.
bool parsingName(LPCITEMIDLIST item, MemPtr& name)
{
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.out())))
        return false;
    STRRET text{};
    if (FAILED(desktop->GetDisplayNameOf(item, SHGDN_FORPARSING, &text)))
        return false;
    // Takes every kind of answer (a wide string, freed here; an offset into the list; an 8-bit string).
    return SUCCEEDED(StrRetToStrW(&text, item, name.out<wchar_t>()));
}

} // namespace

bool FolderDialog::show(const wchar_t* title)
{
    record.pidlRoot = nullptr;
    record.lpszTitle = title;
    record.lpfn = path[0] ? preselect : nullptr;
    record.lParam = path[0] ? reinterpret_cast<LPARAM>(path) : 0;
    // The list of the previous choice is freed first.
    *chosen.out<ITEMIDLIST>() = SHBrowseForFolderW(&record);
    if (!chosen.get<ITEMIDLIST>())
        return false;
    MemPtr name;
    if (!parsingName(chosen.get<ITEMIDLIST>(), name))
        return false;
    // A name the buffer cannot hold would come back cut to a different folder.
    if (lstrlenW(name.get<wchar_t>()) >= MAX_PATH)
        return false;
    lstrcpynW(path, name.get<wchar_t>(), MAX_PATH);
    return true;
}
