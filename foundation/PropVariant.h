#pragma once
#include <windows.h>
#include <propidl.h>
#include "foundation/wstring.h"

// Owns one PROPVARIANT (initially empty) and clears it on destruction. Conversions change the held value in
// place (PropVariantChangeType, flags 0) and throw Exception with the HRESULT; a failed change keeps the value.
class PropVariant {
public:
    PropVariant();
    PropVariant(const PropVariant&) = delete;
    PropVariant& operator=(const PropVariant&) = delete;
    virtual ~PropVariant();

    void clear();
    // VT_LPSTR is widened through the ANSI code page, VT_LPWSTR copied, anything else changed to VT_BSTR first.
    // A null text throws Exception 87.
    wstring toString();
    FILETIME toFileTime();
    void changeType(VARTYPE type);

    VARTYPE type() const { return value.vt; }
    const PROPVARIANT& get() const { return value; }
    // For functions that fill a PROPVARIANT; the held value is cleared first.
    PROPVARIANT* out();

private:
    PROPVARIANT value;
};
