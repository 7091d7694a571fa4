#include "toolkit/ShellFileInfoCache.h"
#include <shellapi.h>
#include <shobjidl.h>
#include "foundation/Path.h"
#include "foundation/Reg.h"

namespace {

// The shell takes these files' icons from the files themselves whatever the registry says.
constexpr const wchar_t* OwnIconTypes[] = {L".exe", L".ico", L".cur", L".ani", L".lnk",
                                           L".url", L".scr", L".cpl", L".pif"};
constexpr int ProgIdCapacity = 256;
constexpr int IconLocationCapacity = MAX_PATH + 16;

bool hasKey(const Reg& classes, const wstring& name)
{
    RegKeyInfo info;
    return classes.queryInfo(name.buffer(), info);
}

// "%1": the icon is the file's own.
bool namesFileIcon(const Reg& classes, const wstring& className)
{
    wchar_t location[IconLocationCapacity] = L"";
    classes.getString((className + L"\\DefaultIcon").buffer(), nullptr, location, IconLocationCapacity);
    return wstring(location).find(L"%1") >= 0;
}

bool classHasIconPerFile(const Reg& classes, const wstring& className)
{
    return hasKey(classes, className + L"\\shellex\\IconHandler") || namesFileIcon(classes, className);
}

} // namespace

ShellFileInfo shellFileInfoOf(LPCITEMIDLIST absolute)
{
    SHFILEINFOW info{};
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_TYPENAME | SHGFI_SMALLICON);
    ShellFileInfo result;
    result.icon = info.iIcon;
    result.typeName = info.szTypeName;
    return result;
}

bool typeHasIconPerFile(const wstring& extension)
{
    for (const wchar_t* type : OwnIconTypes) {
        if (extension.equals(type))
            return true;
    }
    Reg classes;
    if (!classes.openClassesRoot(L""))
        return false;
    if (classHasIconPerFile(classes, extension) ||
        hasKey(classes, L"SystemFileAssociations\\" + extension + L"\\shellex\\IconHandler"))
        return true;
    wchar_t progId[ProgIdCapacity] = L"";
    if (classes.getString(extension.buffer(), nullptr, progId, ProgIdCapacity) <= 0)
        return false;
    return classHasIconPerFile(classes, progId);
}

ShellFileInfo ShellFileInfoCache::infoOf(LPCITEMIDLIST absolute, SFGAOF attributes, const wstring& fileName)
{
    bool plainFile = (attributes & SFGAO_FILESYSTEM) && !(attributes & (SFGAO_FOLDER | SFGAO_LINK));
    int dot = fileName.rfind(L".", fileName.length() - 1);
    if (!plainFile || dot < 0)
        return shellFileInfoOf(absolute);
    // Keyed as written: some shells name an unregistered type after its extension's letters ("BMP file").
    wstring extension = fileName.mid(dot);
    std::wstring key = extension.buffer();
    auto found = types.find(key);
    if (found == types.end()) {
        Type type;
        type.iconPerFile = typeHasIconPerFile(extension.toLower());
        type.info = shellFileInfoOf(absolute);
        types.emplace(key, type);
        return type.info;
    }
    return found->second.iconPerFile ? shellFileInfoOf(absolute) : found->second.info;
}
