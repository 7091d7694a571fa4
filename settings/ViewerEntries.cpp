#include "settings/ViewerEntries.h"
#include <shellapi.h>

ViewerEntry::ViewerEntry(const ViewerEntry& other) : name(other.name), path(other.path)
{
    exts.addAll(other.exts);
}

wstring ViewerEntries::getPath(int index) const
{
    const wchar_t* path = at(index).path.buffer();
    wstring expanded;
    wchar_t* buffer = nullptr;
    DWORD units = 0;
    // A variable may grow between the sizing call and the expansion: size again until it fits.
    for (;;) {
        DWORD needed = ExpandEnvironmentStringsW(path, buffer, units);
        if (needed == 0)
            Exception::throwLastError();
        if (buffer && needed <= units)
            return expanded;
        units = needed;
        buffer = expanded.reserve(static_cast<int>(units));
    }
}

HICON ViewerEntries::getIcon(int index) const
{
    wstring path = getPath(index);
    SHFILEINFOW info{};
    if (!SHGetFileInfoW(path.buffer(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
        return nullptr;
    return info.hIcon;
}

void ViewerEntries::findByExtension(const wstring& extension, IntArray& indexes) const
{
    GenericArray<int>& found = indexes.getValues();
    found.removeAll();
    for (int i = 0; i < count(); ++i) {
        if (at(i).exts.contains(extension, true))
            found.add(i);
    }
}
