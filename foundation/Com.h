#pragma once
#include <windows.h>
#include <oaidl.h>
#include "foundation/ComPtr.h"
#include "foundation/Variant.h"

// Owns an IDispatch and calls its members late-bound, by name, in the calling thread's locale. Every call on
// an empty Com throws Exception E_POINTER. An automation error of the server throws ComException; any other
// failing HRESULT throws Exception with it.
class Com {
public:
    Com() = default;
    // Takes over the caller's reference.
    explicit Com(IDispatch* object) : object(object) {}
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    virtual ~Com() = default;

    DISPID getDispId(const wchar_t* name) const;

    // Calls a method or reads a property whose result is an object; the target then holds that object, or
    // nothing when the result is a null object. A result of another type throws Exception DISP_E_TYPEMISMATCH.
    // The target may be this Com itself; after a failure it holds nothing.
    void getObject(Com& target, const wchar_t* name) const;
    void getObject(Com& target, const wchar_t* name, const Variant& argument) const;
    void getObject(Com& target, const wchar_t* name, const Variant& first, const Variant& second) const;
    void callMethod(const wchar_t* name, const Variant& argument, Variant& result) const;
    void callMethod(const wchar_t* name, const Variant& first, const Variant& second, Variant& result) const;
    void getProperty(const wchar_t* name, Variant& result) const;
    void putProperty(const wchar_t* name, const Variant& value) const;

    void createProcessingInstruction(Com& target, const wchar_t* instruction, const wchar_t* data) const;
    void save(const wstring& path) const;
    void setAttribute(const wstring& name, const wstring& value) const;

    void attach(IDispatch* other) { object.attach(other); }
    void release() { object.release(); }
    IDispatch* get() const { return object.get(); }
    explicit operator bool() const { return static_cast<bool>(object); }

private:
    void invoke(const wchar_t* name, WORD flags, const VariantArray& arguments, Variant* result) const;
    void invokeForObject(Com& target, const wchar_t* name, const VariantArray& arguments) const;

    ComPtr<IDispatch> object;
};

// The XML document object of the system (MSXML), driven through its Com.
class ComObject {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    // Releases a held document, then creates a new one; a failure throws Exception with the HRESULT.
    void create();
    Com& com() { return object; }
    const Com& com() const { return object; }

private:
    Com object;
};

// The registry form "{…}" of a class identifier.
wstring clsidToString(const CLSID& clsid);
// Text that is no class identifier throws Exception with the HRESULT.
CLSID clsidFromString(const wchar_t* text);
