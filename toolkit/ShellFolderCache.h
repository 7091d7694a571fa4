#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include "toolkit/ShellFolder.h"

// The folders of one run of adding files, each opened once and kept, so that the shell parses a folder's path
// once for all its files instead of once per file. A folder that gives many files has its children indexed
// (ShellFolder::indexChildren), since the shell lists children far faster than it parses them one by one; a
// large folder's listing is spread over the lookups that follow, a short slice of time each.
// Runs on the thread of the owner window, like ShellFolder.
class ShellFolderCache {
public:
    explicit ShellFolderCache(HWND owner) : owner(owner), roots(owner) {}
    ShellFolderCache(const ShellFolderCache&) = delete;
    ShellFolderCache& operator=(const ShellFolderCache&) = delete;

    // The folder that holds the path, stepped to the path's item as ShellFolder::openItem does; valid until
    // the next call. A path that names nothing in its folder throws Exception 2.
    ShellFolder& openItem(const wstring& path);

private:
    struct Folder {
        std::unique_ptr<ShellFolder> folder;
        int lookups = 0;
    };

    ShellFolder& folderOf(const wstring& directory);

    HWND owner;
    std::unordered_map<std::wstring, Folder> folders;
    // Drive and share roots, rare enough to be opened each time.
    ShellFolder roots;
};
