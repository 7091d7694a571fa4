#pragma once
#include "foundation/wstringArray.h"

// The folders that a job makes on the way to its outputs, removed again, innermost first, unless the job keeps
// them: a job that is stopped or fails leaves no folder of its own behind. A folder that is no longer empty
// stays. Throws nothing but what create throws.
class MadeFolders {
public:
    MadeFolders() = default;
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    ~MadeFolders();

    // As createDirectoryTree; the folders it made before a failure go too.
    void create(const wstring& path);
    // The outputs are complete: the folders stay.
    void keep() { folders.removeAll(); }

private:
    wstringArray folders;
};
