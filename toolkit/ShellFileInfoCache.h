#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <string>
#include <unordered_map>
#include "foundation/wstring.h"

// What a list shows of a shell item beside its name: its icon in the system's small image list and the
// shell's name of its type.
struct ShellFileInfo {
    int icon = 0;
    wstring typeName;
};

// The shell's answer for one item, named by its absolute identifier list.
ShellFileInfo shellFileInfoOf(LPCITEMIDLIST absolute);

// The icons and type names of one run of adding files, asked of the shell once per file type: for an item the
// shell takes far longer to answer than the list takes to show it, and most types show one icon for all their
// files. Items whose icon may be their own are still asked one by one: folders, shortcuts, items outside the
// file system, files without an extension, and types whose files carry their icon themselves (programs, icons,
// cursors) or through an icon handler of the type.
class ShellFileInfoCache {
public:
    // attributes: the item's SFGAO_ bits; fileName: the file-name part of its parsing name.
    ShellFileInfo infoOf(LPCITEMIDLIST absolute, SFGAOF attributes, const wstring& fileName);

private:
    struct Type {
        bool iconPerFile = false;
        ShellFileInfo info;
    };

    std::unordered_map<std::wstring, Type> types;
};

// Whether the files of the type (a lower-case extension with its dot) may each show an icon of their own.
bool typeHasIconPerFile(const wstring& extension);
