#include "toolkit/ShellFolder.h"

namespace {

constexpr SHCONTF EveryChild = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

IShellFolder* desktopFolder()
{
    IShellFolder* desktop = nullptr;
    Exception::check(SHGetDesktopFolder(&desktop));
    return desktop;
}

wstring ansiText(const char* text)
{
    wstring converted;
    converted.assign(text);
    return converted;
}

wstring strretText(STRRET& name, LPCITEMIDLIST item)
{
    switch (name.uType) {
    case STRRET_WSTR: {
        MemPtr owned;
        *owned.out<wchar_t>() = name.pOleStr;
        return owned.get<wchar_t>() ? wstring(owned.get<wchar_t>()) : wstring();
    }
    case STRRET_OFFSET:
        return ansiText(reinterpret_cast<const char*>(item) + name.uOffset);
    case STRRET_CSTR:
        return ansiText(name.cStr);
    default:
        return wstring();
    }
}

} // namespace

void ShellFolder::close()
{
    index.clear();
    listing.release();
    indexed = false;
    child.release();
    folderList.release();
    enumerator.release();
    folder.release();
}

wstring ShellFolder::open(const wstring& path)
{
    return openPath(path, true);
}

wstring ShellFolder::openPath(const wstring& path, bool enumerate)
{
    close();
    MemPtr list;
    *list.out<ITEMIDLIST>() = idListFromPath(path, owner);
    return openFolder(list.get<ITEMIDLIST>(), enumerate);
}

wstring ShellFolder::openIdList(LPCITEMIDLIST absolute)
{
    return openFolder(absolute, true);
}

wstring ShellFolder::openFolder(LPCITEMIDLIST absolute, bool enumerate)
{
    close();
    try {
        folder.attach(desktopFolder());
        *folderList.out<ITEMIDLIST>() = concatIdLists(absolute, nullptr);
        wstring name = shellDisplayName(folder.get(), folderIdList(), SHGDN_FORPARSING);
        if (idListSize(absolute) > 0) {
            IShellFolder* opened = nullptr;
            Exception::check(
                folder->BindToObject(absolute, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&opened)));
            folder.attach(opened);
        }
        if (enumerate)
            startEnumeration();
        return name;
    } catch (...) {
        close();
        throw;
    }
}

wstring ShellFolder::openForLookup(const wstring& path)
{
    return openPath(path, false);
}

void ShellFolder::openItem(const wstring& path)
{
    Path location = shellItemLocation(path);
    if (location.getFileName().isEmpty()) {
        openRootItem(location.getDirectory());
        return;
    }
    openPath(location.getDirectory(), false);
    if (!stepTo(location.getFileName()))
        throw Exception(ERROR_FILE_NOT_FOUND);
}

// A root has no folder above it in the file system: the shell's identifier list of the root names it as the
// last item of the computer's (or the server's) list.
void ShellFolder::openRootItem(const wstring& root)
{
    close();
    MemPtr list;
    *list.out<ITEMIDLIST>() = idListFromPath(root, owner);
    if (idListSize(list.get<ITEMIDLIST>()) == 0)
        throw Exception(ERROR_FILE_NOT_FOUND);
    MemPtr parent;
    *parent.out<ITEMIDLIST>() = idListParent(list.get<ITEMIDLIST>());
    openFolder(parent.get<ITEMIDLIST>(), false);
    *child.out<ITEMIDLIST>() = concatIdLists(lastIdListItem(list.get<ITEMIDLIST>()), nullptr);
}

bool ShellFolder::stepTo(const wstring& fileName)
{
    shellFolder();
    wstring target = fileName.toLower();
    if (target.isEmpty())
        return false;
    if (indexed || listing) {
        if (stepToIndexed(target))
            return true;
        // A file made since the listing, or one that the listing has not reached yet.
        if (parseChild(fileName) && isCurrent(target))
            return true;
        if (indexed)
            return false;
        indexChildren();
        return stepToIndexed(target);
    }
    // Asking the folder for the name is quick; walking every child per file makes adding a large folder
    // quadratic, so the walk is left for names the folder does not parse.
    if (parseChild(fileName) && isCurrent(target))
        return true;
    startEnumeration();
    while (next()) {
        if (isCurrent(target))
            return true;
    }
    return false;
}

bool ShellFolder::stepToIndexed(const wstring& lowerCaseName)
{
    auto found = index.find(lowerCaseName.buffer());
    if (found == index.end())
        return false;
    *child.out<ITEMIDLIST>() = concatIdLists(found->second.get(), nullptr);
    return true;
}

bool ShellFolder::indexChildren(std::chrono::steady_clock::duration slice)
{
    using Clock = std::chrono::steady_clock;
    IShellFolder* open = shellFolder();
    if (indexed)
        return true;
    try {
        // S_FALSE without an enumerator: a folder with nothing to list.
        if (!listing)
            Exception::check(open->EnumObjects(owner, EveryChild, listing.out()));
        Clock::time_point started = Clock::now();
        while (listing && Clock::now() - started < slice)
            indexNextChild();
    } catch (...) {
        // A failed listing leaves the folder unindexed.
        listing.release();
        index.clear();
        throw;
    }
    indexed = !listing;
    return indexed;
}

void ShellFolder::indexNextChild()
{
    LPITEMIDLIST fetched = nullptr;
    ULONG count = 0;
    HRESULT result = listing->Next(1, &fetched, &count);
    OwnedIdList item(fetched);
    Exception::check(result);
    if (result != S_OK || count != 1) {
        listing.release();
        return;
    }
    // The name within the folder is the file name; where a name is not (outside the file system), looking it
    // up misses and the folder is asked instead.
    std::wstring name = shellDisplayName(folder.get(), item.get(), SHGDN_INFOLDER | SHGDN_FORPARSING).buffer();
    if (name.empty())
        return;
    CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    // The first child of a name wins, as in a walk.
    index.emplace(std::move(name), std::move(item));
}

void ShellFolder::startEnumeration()
{
    child.release();
    // S_FALSE without an enumerator: a folder with nothing to list.
    Exception::check(folder->EnumObjects(owner, EveryChild, enumerator.out()));
}

bool ShellFolder::parseChild(const wstring& name)
{
    child.release();
    ULONG eaten = 0;
    LPITEMIDLIST parsed = nullptr;
    if (FAILED(folder->ParseDisplayName(owner, nullptr, const_cast<wchar_t*>(name.buffer()), &eaten, &parsed, nullptr)))
        return false;
    *child.out<ITEMIDLIST>() = parsed;
    return parsed && idListSize(parsed) == parsed->mkid.cb;
}

bool ShellFolder::isCurrent(const wstring& lowerCaseName) const
{
    return lstrcmpW(currentFileName().toLower().buffer(), lowerCaseName.buffer()) == 0;
}

IShellFolder* ShellFolder::shellFolder() const
{
    if (!folder)
        throw Exception(ErrorCode::InvalidState);
    return folder.get();
}

bool ShellFolder::next()
{
    shellFolder();
    child.release();
    if (!enumerator)
        return false;
    ULONG fetched = 0;
    HRESULT result = enumerator->Next(1, child.out<ITEMIDLIST>(), &fetched);
    Exception::check(result);
    return result == S_OK && fetched == 1;
}

LPCITEMIDLIST ShellFolder::requiredChild() const
{
    shellFolder();
    if (!currentChild())
        throw Exception(ErrorCode::InvalidState);
    return currentChild();
}

wstring ShellFolder::currentName() const
{
    return shellDisplayName(shellFolder(), requiredChild(), SHGDN_NORMAL);
}

wstring ShellFolder::currentParsingName() const
{
    return shellDisplayName(shellFolder(), requiredChild(), SHGDN_FORPARSING);
}

wstring ShellFolder::currentFileName() const
{
    wstring parsingName = currentParsingName();
    // Items outside the file system ("::{...}") have no file name to split off.
    if (parsingName.isEmpty())
        return parsingName;
    return Path(parsingName).getFileName();
}

SFGAOF ShellFolder::attributesOf(SFGAOF mask) const
{
    IShellFolder* open = shellFolder();
    LPCITEMIDLIST item = currentChild();
    SFGAOF attributes = mask;
    Exception::check(open->GetAttributesOf(item ? 1 : 0, item ? &item : nullptr, &attributes));
    return attributes & mask;
}

IShellItem2* ShellFolder::currentItem() const
{
    shellFolder();
    // The child is named by its absolute list: SHCreateItemWithParent is missing on some systems, where merely
    // importing it ends the process.
    MemPtr absolute;
    *absolute.out<ITEMIDLIST>() = concatIdLists(folderIdList(), currentChild());
    IShellItem2* item = nullptr;
    Exception::check(
        SHCreateItemFromIDList(absolute.get<ITEMIDLIST>(), IID_IShellItem2, reinterpret_cast<void**>(&item)));
    return item;
}

Path shellItemLocation(const wstring& path)
{
    Path location(path);
    if (location.getFileName().isEmpty())
        location = Path(location.getDirectory() + L".");
    return location;
}

LPITEMIDLIST idListFromPath(const wstring& path, HWND owner)
{
    if (path.isEmpty())
        return nullptr;
    ComPtr<IShellFolder> desktop(desktopFolder());
    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    Exception::check(
        desktop->ParseDisplayName(owner, nullptr, const_cast<wchar_t*>(path.buffer()), &eaten, &list, nullptr));
    return list;
}

wstring shellDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, SHGDNF flags)
{
    STRRET name{};
    Exception::check(folder->GetDisplayNameOf(relative, flags, &name));
    return strretText(name, relative);
}

wstring parsingNameOfIdList(LPCITEMIDLIST absolute)
{
    ComPtr<IShellFolder> desktop(desktopFolder());
    return shellDisplayName(desktop.get(), absolute, SHGDN_FORPARSING);
}

bool storageDetail(IShellFolder* folder, LPCITEMIDLIST relative, DWORD propertyId, VARIANT* value)
{
    ComPtr<IShellFolder2> details;
    Exception::check(folder->QueryInterface(IID_IShellFolder2, details.outVoid()));
    SHCOLUMNID key{FMTID_Storage, propertyId};
    return SUCCEEDED(details->GetDetailsEx(relative, &key, value));
}
