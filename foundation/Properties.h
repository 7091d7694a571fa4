#pragma once
#include "foundation/wstring.h"

// A list of named values kept in a file.
class Properties {
public:
    Properties() = default;
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;
    virtual ~Properties() = default;

    // Replaces the list with the file's entries. A missing or unreadable file leaves the list empty and gives
    // false, which callers may ignore when an empty list is what they want then.
    virtual bool load(const wstring& path) = 0;
    virtual void save(const wstring& path) = 0;
};
