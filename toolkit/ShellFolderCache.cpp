#include "toolkit/ShellFolderCache.h"
#include <algorithm>
#include <chrono>

namespace {

// Parsing a name costs the shell about as much as listing a hundred children: a folder is indexed once it has
// been asked for this many of its files in one run.
constexpr int IndexAfterLookups = 16;
// How long one lookup may go on listing such a folder: the window that adds the files answers between lookups.
constexpr auto IndexSlice = std::chrono::milliseconds(5);
// Bounds what a run over files of many folders keeps open; beyond it the cache starts again.
constexpr size_t MostFolders = 64;

} // namespace

ShellFolder& ShellFolderCache::openItem(const wstring& path)
{
    Path location = shellItemLocation(path);
    if (location.getFileName().isEmpty()) {
        roots.openItem(path);
        return roots;
    }
    ShellFolder& folder = folderOf(location.getDirectory());
    if (!folder.stepTo(location.getFileName()))
        throw Exception(ERROR_FILE_NOT_FOUND);
    return folder;
}

ShellFolder& ShellFolderCache::folderOf(const wstring& directory)
{
    std::wstring key = directory.toLower().buffer();
    auto found = folders.find(key);
    if (found == folders.end()) {
        if (folders.size() >= MostFolders)
            folders.clear();
        auto opened = std::make_unique<ShellFolder>(owner);
        opened->openForLookup(directory);
        found = folders.emplace(key, Folder{std::move(opened), 0}).first;
    }
    Folder& entry = found->second;
    entry.lookups = std::min(entry.lookups + 1, IndexAfterLookups);
    if (entry.lookups == IndexAfterLookups)
        entry.folder->indexChildren(IndexSlice);
    return *entry.folder;
}
