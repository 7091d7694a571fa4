#include "foundation/Path.h"
#include "foundation/Exception.h"
#include <shlobj.h>
#include <shlwapi.h>

namespace {

constexpr int CompactLength = 49;

bool endsWithBackslash(const wstring& text)
{
    int length = text.length();
    return length > 0 && text.buffer()[length - 1] == L'\\';
}

wstring withoutTrailingBackslash(const wstring& text)
{
    return endsWithBackslash(text) ? text.left(text.length() - 1) : text;
}

} // namespace

Path::Path(const wstring& text)
{
    if (text.isEmpty())
        Exception::throwInvalidArgument();
    DWORD needed = GetFullPathNameW(text.buffer(), 0, nullptr, nullptr);
    if (needed == 0)
        Exception::throwLastError();
    wstring full;
    wchar_t* buffer = full.reserve(static_cast<int>(needed));
    wchar_t* filePart = nullptr;
    DWORD written = GetFullPathNameW(text.buffer(), needed, buffer, &filePart);
    if (written == 0)
        Exception::throwLastError();
    if (written >= needed)
        throw Exception(ERROR_INSUFFICIENT_BUFFER);
    if (filePart) {
        fileName = filePart;
        *filePart = 0;
    }
    directory = buffer;
    if (!endsWithBackslash(directory))
        directory += L"\\";
}

int Path::lastDot() const
{
    const wchar_t* name = fileName.buffer();
    for (int i = fileName.length() - 1; i >= 0; --i) {
        if (name[i] == L'.')
            return i;
    }
    return -1;
}

wstring Path::getBaseName() const
{
    int dot = lastDot();
    return dot < 0 ? fileName : fileName.left(dot);
}

wstring Path::getExtension(bool withoutDot) const
{
    int dot = lastDot();
    if (dot < 0)
        return wstring();
    return fileName.mid(withoutDot ? dot + 1 : dot);
}

bool Path::exists() const
{
    wstring text = getPath();
    if (text.isEmpty())
        return false;
    // A directory given with its trailing backslash is tested as the directory itself.
    if (fileName.isEmpty())
        text = Path(directory + L".").getPath();
    return GetFileAttributesW(text.buffer()) != INVALID_FILE_ATTRIBUTES;
}

bool Path::isRoot() const
{
    return PathIsRootW(getPath().buffer()) != FALSE;
}

Path Path::getParent() const
{
    return Path(combinePath(getPath(), L".."));
}

wstring Path::getRoot() const
{
    Path current(directory, wstring());
    while (!current.isRoot()) {
        Path parent = current.getParent();
        // A path that the system cannot climb further (a share, say) is its own root.
        if (parent.getPath().equals(current.getPath()))
            break;
        current = parent;
    }
    return current.getPath();
}

wstring Path::getCompactPath() const
{
    wchar_t buffer[CompactLength];
    if (!PathCompactPathExW(buffer, getPath().buffer(), CompactLength, 0))
        return getPath();
    return wstring(buffer);
}

Path Path::makeUnique(const wchar_t* separator) const
{
    if (!exists())
        return *this;
    bool numbersDirectory = fileName.isEmpty() && !directory.isEmpty();
    wstring base = getBaseName();
    wstring extension = getExtension();
    wstring folder = withoutTrailingBackslash(directory);
    for (int n = 1;; ++n) {
        wstring suffix(separator);
        wstring number;
        number.setInt(n);
        suffix += number;
        Path candidate = numbersDirectory ? Path(folder + suffix + L"\\") : Path(directory + base + suffix + extension);
        if (!candidate.exists())
            return candidate;
    }
}

void Path::getModulePath()
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (length == 0)
        Exception::throwLastError();
    // A full buffer means the name was cut short: never hand out a truncated path.
    if (length >= MAX_PATH)
        throw Exception(ERROR_INSUFFICIENT_BUFFER);
    *this = Path(wstring(buffer));
}

Path Path::getSpecialFolder(int csidl)
{
    wchar_t buffer[MAX_PATH];
    HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer);
    if (FAILED(result))
        throw Exception(static_cast<int>(result));
    return Path(combinePath(buffer, wstring()));
}

wstring withBackslash(const wstring& folder)
{
    return endsWithBackslash(folder) ? folder : folder + L"\\";
}

wstring combinePath(const wstring& directory, const wstring& name)
{
    return Path(withBackslash(directory) + name).getPath();
}

wstring resolveRelativePath(const wstring& path, const wstring& base)
{
    if (path.isEmpty() || base.isEmpty())
        Exception::throwInvalidArgument();
    if (!PathIsRelativeW(path.buffer()))
        return Path(path).getPath();
    return Path(combinePath(base, wstring()) + path).getPath();
}
