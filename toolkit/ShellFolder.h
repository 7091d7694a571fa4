#pragma once
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <chrono>
#include <string>
#include <unordered_map>
#include "foundation/ComPtr.h"
#include "foundation/MemPtr.h"
#include "foundation/Path.h"
#include "foundation/wstring.h"
#include "toolkit/ItemIdList.h"

// One open folder of the shell's namespace with a cursor over its children: the shell views' road into the
// namespace. Everything runs on the thread of the caller's window, which has entered a COM apartment.
// Failures throw Exception: the shell's HRESULT, or 1 when no folder is open. A failed open leaves the object
// closed, ready to be opened again.
class ShellFolder {
public:
    // The owner window is handed to the shell's parse and enumerate calls; it may be null.
    explicit ShellFolder(HWND owner) : owner(owner) {}
    ShellFolder(const ShellFolder&) = delete;
    ShellFolder& operator=(const ShellFolder&) = delete;
    virtual ~ShellFolder() { close(); }

    // Both return the folder's parsing name. Whatever was open before is let go first.
    wstring open(const wstring& path);
    // Null or empty opens the desktop.
    wstring openIdList(LPCITEMIDLIST absolute);
    // Opens the folder that holds the path and steps to its child of that file name, letter case ignored (a
    // folder given with a trailing backslash is looked up as itself; a drive or share root is a child of the
    // folder above it in the namespace, the computer or the server). A path that names nothing in its folder
    // throws Exception 2.
    void openItem(const wstring& path);
    // Opens the folder for finding children by name (stepTo) without starting a walk over them.
    wstring openForLookup(const wstring& path);
    bool isOpen() const { return folder.get() != nullptr; }

    // Makes the child of that file name current, letter case ignored; false when the folder has none. The
    // folder is asked for the name; only names it does not parse are looked for child by child, in a new walk.
    // Once the children are being indexed, the index answers for the names listed so far, the folder for the
    // others, and a name it does not parse is looked for in the rest of the listing.
    bool stepTo(const wstring& fileName);
    // Lists the children once and keeps their names and identifiers until the next open: for finding many
    // children of one large folder, which the shell parses one by one far more slowly than it lists them. The
    // listing goes on for at most `slice` per call, where it was left; true once every child is indexed.
    bool indexChildren(std::chrono::steady_clock::duration slice = std::chrono::steady_clock::duration::max());
    bool isIndexed() const { return indexed; }

    // Steps to the next child; false at the end.
    bool next();
    wstring currentName() const;
    // The full path for file-system items.
    wstring currentParsingName() const;
    wstring currentFileName() const;
    // The asked SFGAO_ bits that apply to the current child, or to the folder itself before the first step.
    SFGAOF attributesOf(SFGAOF mask) const;
    // A new reference to the current child as a shell item (the folder itself before the first step).
    IShellItem2* currentItem() const;

    // Views of the held lists and folder, valid until the next step or open.
    LPCITEMIDLIST folderIdList() const { return folderList.get<ITEMIDLIST>(); }
    LPCITEMIDLIST currentChild() const { return child.get<ITEMIDLIST>(); }
    IShellFolder* shellFolder() const;

private:
    void close();
    wstring openPath(const wstring& path, bool enumerate);
    wstring openFolder(LPCITEMIDLIST absolute, bool enumerate);
    void openRootItem(const wstring& root);
    void startEnumeration();
    LPCITEMIDLIST requiredChild() const;
    // Makes the child of that name current; false when the folder does not parse it as one child.
    bool parseChild(const wstring& name);
    // Makes the child of that lower-case name current when the index holds it.
    bool stepToIndexed(const wstring& lowerCaseName);
    // Adds the listing's next child to the index; at the end of the listing lets it go.
    void indexNextChild();
    bool isCurrent(const wstring& lowerCaseName) const;

    HWND owner;
    ComPtr<IShellFolder> folder;
    ComPtr<IEnumIDList> enumerator;
    MemPtr folderList;
    MemPtr child;
    // The children by lower-case file name, as far as indexChildren has listed them, and the listing while it
    // goes on.
    std::unordered_map<std::wstring, OwnedIdList> index;
    ComPtr<IEnumIDList> listing;
    bool indexed = false;
};

// The path of the item that ShellFolder::openItem finds: a folder given with a trailing backslash is named by
// its own path. An empty file name is left only for a root.
Path shellItemLocation(const wstring& path);

// Null for an empty path, without asking the shell.
LPITEMIDLIST idListFromPath(const wstring& path, HWND owner);
// The name that GetDisplayNameOf gives with the SHGDN_ flags.
wstring shellDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, SHGDNF flags);
wstring parsingNameOfIdList(LPCITEMIDLIST absolute);
// One storage property (PID_STG_*) of a child; false when the folder has no such detail.
bool storageDetail(IShellFolder* folder, LPCITEMIDLIST relative, DWORD propertyId, VARIANT* value);
