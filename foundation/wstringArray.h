#pragma once
#include "foundation/ObjectArray.h"
#include "foundation/wstring.h"

// An ordered list of strings, duplicates allowed. Elements share their buffers with the strings they were
// added from.
class wstringArray {
public:
    wstringArray() = default;
    wstringArray(const wstringArray&) = delete;
    wstringArray& operator=(const wstringArray&) = delete;
    virtual ~wstringArray() = default;

    // A failure throws and leaves the list as it was.
    void add(const wstring& text);
    // Adding a list to itself doubles it.
    void addAll(const wstringArray& other);
    int count() const { return items.count(); }
    void removeAll() { items.removeAll(); }
    // Exchanges the contents; never fails, so a list built aside replaces another whole.
    void swap(wstringArray& other) { items.swap(other.items); }
    // Index 0 … count − 1; otherwise Exception 87.
    const wstring& at(int index) const { return *items.at(index); }

    bool contains(const wstring& text, bool ignoreCase) const;
    // Replaces the contents with the pieces between separators; an empty separator never matches.
    void split(const wstring& text, const wchar_t* separator, bool skipEmpty);
    // A missing or empty resource string throws Exception with the last error.
    void splitResourceString(HMODULE module, UINT id, const wchar_t* separator);
    wstring join(const wchar_t* separator) const;

private:
    ObjectArray<wstring> items;
};
