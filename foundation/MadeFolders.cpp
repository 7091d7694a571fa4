#include "foundation/MadeFolders.h"
#include <windows.h>
#include "foundation/FileSystem.h"

MadeFolders::~MadeFolders()
{
    for (int i = folders.count() - 1; i >= 0; --i)
        RemoveDirectoryW(folders.at(i).buffer());
}

void MadeFolders::create(const wstring& path)
{
    createDirectoryTree(path, &folders);
}
