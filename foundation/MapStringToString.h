#pragma once
#include "foundation/StringKeyMap.h"

class MapStringToString : public StringKeyMap<wstring> {
public:
    MapStringToString() : StringKeyMap<wstring>(11) {}

    // A missing key throws Exception 87.
    wstring get(const wstring& key) const
    {
        wstring* stored = find(key);
        if (!stored)
            Exception::throwInvalidArgument();
        return *stored;
    }
};
