#pragma once
#include <windows.h>
#include "foundation/wstring.h"

class InputStream;

// Writes resources into another executable. Nothing reaches the file before end(true): an update that is
// abandoned, or destroyed while open, leaves the file as it was.
class ResourceUpdater {
public:
    static constexpr WORD Language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

    ResourceUpdater() = default;
    ResourceUpdater(const ResourceUpdater&) = delete;
    ResourceUpdater& operator=(const ResourceUpdater&) = delete;
    virtual ~ResourceUpdater() { end(false); }

    // Discards an open update first; the file's existing resources stay. Failure: Exception with the system error.
    void begin(const wstring& path);
    // Adds or replaces the resource with all bytes of `data`; null data deletes it. No open update, or data
    // without a single byte: Exception 1. Names and types given as text are stored as given, while FindResource
    // looks them up in upper case: give them in upper case, as resource compilers store them.
    void update(const wchar_t* type, const wchar_t* name, InputStream* data);
    // Commit writes the file (no open update: Exception 1); otherwise the changes are dropped. Either way no
    // update is open afterwards.
    void end(bool commit);

    bool isOpen() const { return handle != nullptr; }

private:
    HANDLE handle = nullptr;
};
