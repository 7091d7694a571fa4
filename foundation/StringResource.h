#pragma once
#include <windows.h>
#include "foundation/XmlProperties.h"
#include "foundation/wstring.h"

// One of the program's XML message tables (UTF-8 resources of type "StringResource"): message id to text.
class StringResource {
public:
    StringResource() = default;
    StringResource(const StringResource&) = delete;
    StringResource& operator=(const StringResource&) = delete;
    virtual ~StringResource() = default;

    // Empty element names throw Exception 87, a missing resource Exception with the system error. A table
    // that does not parse is left empty.
    void load(HMODULE module, const wchar_t* resourceName, const wchar_t* resourceType, const wstring& rootName,
              const wstring& entryName);
    // A copy of the text; an id that the table lacks throws Exception 87.
    wstring get(const wstring& id) const { return table.value(id); }

    int count() const { return table.count(); }

private:
    XmlProperties table;
};
