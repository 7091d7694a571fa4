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

// The XML document object of the system (MSXML), driven through its Com. Files and bytes come from anyone (a
// layout double-clicked in a download folder, a settings file given with "/par"), so every document refuses
// document type declarations, whose external parts the parser would fetch (sending the user's credentials to
// the host of a \\host\share path) and whose entities can carry a file's text out or grow without bound.
class ComObject {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    // Releases a held document, then creates a new one whose parser refuses document type declarations,
    // resolves nothing outside the document, does not validate and bounds the nesting of elements; a failure
    // throws Exception with the HRESULT.
    void create();
    // Parses a file (a path) or the bytes of a byte array, or a text, and waits for the end. False when the
    // source is missing, unreadable or not well-formed, and when it declares a document type: the program
    // writes none.
    bool load(const VARIANT& source);
    bool loadXML(const wstring& text);
    // A property of the parser, such as "SelectionLanguage"; a failure throws Exception with the HRESULT.
    void setProperty(const wchar_t* name, const Variant& value);
    Com& com() { return object; }
    const Com& com() const { return object; }

private:
    Com object;
};

// The registry form "{…}" of a class identifier.
wstring clsidToString(const CLSID& clsid);
// Text that is no class identifier throws Exception with the HRESULT.
CLSID clsidFromString(const wchar_t* text);
