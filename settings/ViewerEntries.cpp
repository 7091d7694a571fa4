#include "settings/ViewerEntries.h"
#include <shellapi.h>
#include "foundation/Environment.h"

ViewerEntry::ViewerEntry(const ViewerEntry& other) : name(other.name), path(other.path)
{
    exts.addAll(other.exts);
}

wstring ViewerEntries::getPath(int index) const
{
    return expandEnvironmentStrings(at(index).path);
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
