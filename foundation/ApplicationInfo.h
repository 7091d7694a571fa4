#pragma once
#include "foundation/wstring.h"

// What the program shows about itself, from the version information of a file; all empty when the file has
// none.
class ApplicationInfo {
public:
    // Exceptions of the version reader pass on.
    explicit ApplicationInfo(const wchar_t* path);
    virtual ~ApplicationInfo() = default;

    const wstring& getProductName() const { return productName; }
    const wstring& getCompanyName() const { return companyName; }
    const wstring& getLegalNotice() const { return legalNotice; }
    const wstring& getProductVersion() const { return productVersion; }

private:
    wstring productName;
    wstring companyName;
    wstring legalNotice;
    wstring productVersion;
};
