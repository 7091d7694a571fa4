#pragma once
#include <windows.h>
#include "foundation/GenericArray.h"
#include "foundation/IntArray.h"
#include "foundation/wstringArray.h"

// One external viewer the user registered: the extensions (without a dot) it is offered for, its display name
// and its program path, which may hold %…% references.
class ViewerEntry {
public:
    ViewerEntry() = default;
    ViewerEntry(const ViewerEntry& other);
    ViewerEntry& operator=(const ViewerEntry&) = delete;
    virtual ~ViewerEntry() = default;

    wstringArray exts;
    wstring name;
    wstring path;
};

// The external viewers in the order the user arranged them; the list owns its entries.
class ViewerEntries {
public:
    ViewerEntries() = default;
    ViewerEntries(const ViewerEntries&) = delete;
    ViewerEntries& operator=(const ViewerEntries&) = delete;
    virtual ~ViewerEntries() = default;

    // Appends a copy; a failure throws and leaves the list as it was.
    void add(const ViewerEntry& entry) { entries.add(entry); }
    // Index 0 … count − 1; otherwise Exception 87.
    ViewerEntry& at(int index) { return entries.at(index); }
    const ViewerEntry& at(int index) const { return entries.at(index); }
    int count() const { return entries.count(); }
    void removeAll() { entries.removeAll(); }
    // Exchanges the contents; never fails, so a list built aside replaces another whole.
    void swap(ViewerEntries& other) { entries.swap(other.entries); }

    // The program path with its environment variables expanded.
    wstring getPath(int index) const;
    // The program's small icon, owned by the caller; null when it has none.
    HICON getIcon(int index) const;
    // Replaces `indexes` with the entries offered for the extension (letter case ignored), each once.
    void findByExtension(const wstring& extension, IntArray& indexes) const;

private:
    GenericArray<ViewerEntry> entries;
};
