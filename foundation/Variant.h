#pragma once
#include <windows.h>
#include <oleauto.h>
#include "foundation/GenericArray.h"
#include "foundation/wstring.h"

// Owns one VARIANT (initially empty) and clears it on destruction. The to… conversions change the held value
// in place (VariantChangeType, flags 0) and throw Exception with the HRESULT; a failed change keeps the value.
class Variant {
public:
    Variant();
    // VT_BSTR; an allocation failure throws Exception 8.
    explicit Variant(const wchar_t* text);
    explicit Variant(const wstring& text) : Variant(text.buffer()) {}
    // VT_I4.
    explicit Variant(int value);
    // VT_BOOL (VARIANT_TRUE or VARIANT_FALSE).
    explicit Variant(bool value);
    // VT_DISPATCH with a reference of its own; null is allowed.
    explicit Variant(IDispatch* object);
    // VariantCopy; a failure throws Exception with the HRESULT.
    Variant(const Variant& other);
    Variant& operator=(const Variant&) = delete;
    virtual ~Variant();

    void clear();
    // Clears, then holds a new BSTR; an allocation failure throws Exception 8.
    void setString(const wchar_t* text);
    LONGLONG toInt64();
    double toDouble();
    // A BSTR that is null throws Exception 87.
    wstring toString();
    // With an added reference; null when the variant holds a null object.
    IDispatch* toDispatch();
    void changeType(VARTYPE type);

    VARTYPE type() const { return value.vt; }
    const VARIANT& get() const { return value; }
    // For functions that fill a VARIANT; the held value is cleared first.
    VARIANT* out();

private:
    VARIANT value;
};

// Late-bound call arguments in call order.
using VariantArray = GenericArray<Variant>;

// The 16-bit integers -1 and 0 (VT_I2), which script-facing properties take for true and false.
extern const Variant ShortTrue;
extern const Variant ShortFalse;
