#pragma once
#include <windows.h>
#include "foundation/wstring.h"

// The version-information block of one file and its strings. Strings are read for the file's first
// translation only.
class FileVersionInfo {
public:
    FileVersionInfo() = default;
    FileVersionInfo(const FileVersionInfo&) = delete;
    FileVersionInfo& operator=(const FileVersionInfo&) = delete;
    virtual ~FileVersionInfo();

    // False when the file has no version information; a failing read throws Exception with the last error.
    bool load(const wchar_t* path);
    // The named string of the first translation; empty when the block has no such string. Throws Exception 1
    // before a successful load, and Exception with the system's error for a damaged block.
    wstring getString(const wchar_t* name) const;
    wstring getProductName() const { return getString(L"ProductName"); }
    wstring getCompanyName() const { return getString(L"CompanyName"); }
    wstring getLegalNotice() const { return getString(L"LegalCopyright"); }
    wstring getProductVersion() const { return getString(L"ProductVersion"); }

private:
    void release();

    void* block = nullptr;
};
