#include "foundation/FileSystem.h"
#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/Path.h"
#include "foundation/wstringArray.h"

namespace {

BY_HANDLE_FILE_INFORMATION identify(const wstring& path)
{
    // No access rights and full sharing: the question must not fail because another program has the file
    // open, and backup semantics let directories answer too.
    FileHandle file(CreateFileW(path.buffer(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.isValid())
        Exception::throwLastError();
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info))
        Exception::throwLastError();
    return info;
}

} // namespace

bool isDirectory(const wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.buffer());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isSameFile(const wstring& a, const wstring& b)
{
    BY_HANDLE_FILE_INFORMATION first = identify(a);
    BY_HANDLE_FILE_INFORMATION second = identify(b);
    return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

bool mayBeSameFile(const wstring& a, const wstring& b)
{
    try {
        Path first(a);
        Path second(b);
        if (first.getPath().toLower().equals(second.getPath().toLower()))
            return true;
        bool firstExists = first.exists();
        if (firstExists != second.exists())
            return false;
        if (firstExists)
            return isSameFile(first.getPath(), second.getPath());
        // A file still to be made is told only by its name and folder.
        if (!first.getFileName().toLower().equals(second.getFileName().toLower()))
            return false;
        Path firstFolder(first.getDirectory());
        Path secondFolder(second.getDirectory());
        return firstFolder.exists() && secondFolder.exists() &&
               isSameFile(firstFolder.getPath(), secondFolder.getPath());
    } catch (const Exception&) {
        return true;
    }
}

void createDirectory(const wstring& path)
{
    if (!CreateDirectoryW(path.buffer(), nullptr))
        Exception::throwLastError();
}

void createDirectoryTree(const wstring& path, wstringArray* made)
{
    wstring text(path);
    // "." lets normalisation drop the trailing separator, so the directory is the last component.
    if (text.endsWith(L"\\"))
        text += L".";
    Path target(text);
    if (target.exists()) {
        // A file in the place of the directory would otherwise only surface when something is written there.
        if (!isDirectory(target.getPath()))
            throw Exception(ERROR_ALREADY_EXISTS);
        return;
    }
    Path parent(target.getDirectory());
    // A missing root (an unknown drive) has no parent to climb to: creating it fails with the system's error.
    if (!parent.exists() && !parent.getPath().equals(target.getPath()))
        createDirectoryTree(parent.getPath(), made);
    createDirectory(target.getPath());
    if (made)
        made->add(target.getPath());
}

void moveFile(const wstring& from, const wstring& to)
{
    if (!MoveFileW(from.buffer(), to.buffer()))
        Exception::throwLastError();
}
