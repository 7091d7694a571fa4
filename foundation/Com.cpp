#include "foundation/Com.h"
#include <msxml2.h>
#include "foundation/ComException.h"
#include "foundation/MemPtr.h"

namespace {

constexpr WORD MethodOrPropertyGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;

// The arguments of one Invoke, last first as IDispatch expects them; cleared and freed whatever the call gives.
class ArgumentBlock {
public:
    explicit ArgumentBlock(int count) : count(count)
    {
        if (count == 0)
            return;
        // Zero-filled, so every slot starts as VT_EMPTY.
        block = static_cast<VARIANT*>(MemoryAllocator::alloc(count * static_cast<int>(sizeof(VARIANT))));
        if (!block)
            throw Exception(ErrorCode::NoMemory);
    }
    ArgumentBlock(const ArgumentBlock&) = delete;
    ArgumentBlock& operator=(const ArgumentBlock&) = delete;
    ~ArgumentBlock()
    {
        for (int i = 0; i < count; ++i)
            VariantClear(&block[i]);
        MemoryAllocator::free(block);
    }

    void fill(const VariantArray& arguments)
    {
        for (int i = 0; i < count; ++i) {
            VARIANT* source = const_cast<VARIANT*>(&arguments.at(i).get());
            Exception::check(VariantCopy(&block[count - 1 - i], source));
        }
    }

    VARIANT* get() const { return block; }

private:
    int count;
    VARIANT* block = nullptr;
};

// Frees the texts of an exception record, however the error is reported.
class ExceptionInfo {
public:
    ExceptionInfo() { ZeroMemory(&info, sizeof(info)); }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo()
    {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }

    [[noreturn]] void throwComException()
    {
        if (info.pfnDeferredFillIn)
            info.pfnDeferredFillIn(&info);
        // A record that carries only the 16-bit code still reports the failure as an automation error.
        int code = info.scode != 0 ? static_cast<int>(info.scode) : static_cast<int>(DISP_E_EXCEPTION);
        throw ComException(code, info.bstrDescription, info.bstrSource);
    }

    EXCEPINFO info;
};

} // namespace

DISPID Com::getDispId(const wchar_t* name) const
{
    if (!object)
        throw Exception(static_cast<int>(E_POINTER));
    DISPID id = DISPID_UNKNOWN;
    auto names = const_cast<LPOLESTR>(name);
    Exception::check(object->GetIDsOfNames(IID_NULL, &names, 1, GetThreadLocale(), &id));
    return id;
}

void Com::invoke(const wchar_t* name, WORD flags, const VariantArray& arguments, Variant* result) const
{
    DISPID id = getDispId(name);
    ArgumentBlock block(arguments.count());
    block.fill(arguments);
    DISPID namedPut = DISPID_PROPERTYPUT;
    bool put = flags == DISPATCH_PROPERTYPUT;
    DISPPARAMS parameters{block.get(), put ? &namedPut : nullptr, static_cast<UINT>(arguments.count()),
                          put ? 1u : 0u};
    ExceptionInfo error;
    UINT argumentError = static_cast<UINT>(-1);
    HRESULT status = object->Invoke(id, IID_NULL, GetThreadLocale(), flags, &parameters,
                                    result ? result->out() : nullptr, &error.info, &argumentError);
    if (status == DISP_E_EXCEPTION)
        error.throwComException();
    Exception::check(status);
}

void Com::invokeForObject(Com& target, const wchar_t* name, const VariantArray& arguments) const
{
    // The call comes first and the target changes only afterwards: the target may be this very object.
    Variant result;
    try {
        invoke(name, MethodOrPropertyGet, arguments, &result);
        if (result.type() != VT_DISPATCH)
            throw Exception(static_cast<int>(DISP_E_TYPEMISMATCH));
    } catch (...) {
        target.release();
        throw;
    }
    target.attach(result.toDispatch());
}

void Com::getObject(Com& target, const wchar_t* name) const
{
    VariantArray arguments;
    invokeForObject(target, name, arguments);
}

void Com::getObject(Com& target, const wchar_t* name, const Variant& argument) const
{
    VariantArray arguments;
    arguments.add(argument);
    invokeForObject(target, name, arguments);
}

void Com::getObject(Com& target, const wchar_t* name, const Variant& first, const Variant& second) const
{
    VariantArray arguments;
    arguments.add(first);
    arguments.add(second);
    invokeForObject(target, name, arguments);
}

void Com::callMethod(const wchar_t* name, const Variant& argument, Variant& result) const
{
    VariantArray arguments;
    arguments.add(argument);
    invoke(name, DISPATCH_METHOD, arguments, &result);
}

void Com::callMethod(const wchar_t* name, const Variant& first, const Variant& second, Variant& result) const
{
    VariantArray arguments;
    arguments.add(first);
    arguments.add(second);
    invoke(name, DISPATCH_METHOD, arguments, &result);
}

void Com::getProperty(const wchar_t* name, Variant& result) const
{
    VariantArray arguments;
    invoke(name, DISPATCH_PROPERTYGET, arguments, &result);
}

void Com::putProperty(const wchar_t* name, const Variant& value) const
{
    VariantArray arguments;
    arguments.add(value);
    invoke(name, DISPATCH_PROPERTYPUT, arguments, nullptr);
}

void Com::createProcessingInstruction(Com& target, const wchar_t* instruction, const wchar_t* data) const
{
    getObject(target, L"createProcessingInstruction", Variant(instruction), Variant(data));
}

void Com::save(const wstring& path) const
{
    Variant result;
    callMethod(L"save", Variant(path), result);
}

void Com::setAttribute(const wstring& name, const wstring& value) const
{
    Variant result;
    callMethod(L"setAttribute", Variant(name), Variant(value), result);
}

namespace {

// The second document interface, which takes the parser's properties. The system's import libraries lack it.
const IID DocumentWithPropertiesId = {0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// Far beyond the few levels of the program's own files (a settings file nests three elements, a layout two), and
// the newer parsers' own default, so that no file written by hand to the same scheme is refused, while a file of
// a million nested elements ends the parse early.
constexpr int MaxElementDepth = 256;

template <typename Interface>
void queryDocument(IDispatch* object, const IID& id, ComPtr<Interface>& document)
{
    if (!object)
        throw Exception(static_cast<int>(E_POINTER));
    Exception::check(object->QueryInterface(id, document.outVoid()));
}

HRESULT putDocumentProperty(IDispatch* object, const wchar_t* name, const Variant& value)
{
    ComPtr<IXMLDOMDocument2> document;
    queryDocument(object, DocumentWithPropertiesId, document);
    Variant propertyName(name);
    return document->setProperty(propertyName.get().bstrVal, value.get());
}

void harden(IDispatch* object)
{
    ComPtr<IXMLDOMDocument> document;
    queryDocument(object, IID_IXMLDOMDocument, document);
    Exception::check(document->put_resolveExternals(VARIANT_FALSE));
    Exception::check(document->put_validateOnParse(VARIANT_FALSE));
    Exception::check(putDocumentProperty(object, L"ProhibitDTD", Variant(true)));
    // Wine's parser refuses the property with E_FAIL, but stops at a few hundred levels of its own accord.
    HRESULT depth = putDocumentProperty(object, L"MaxElementDepth", Variant(MaxElementDepth));
    if (depth != E_FAIL)
        Exception::check(depth);
}

// A document still loading could not be checked for its declaration: its load returns only at the end.
void synchronousDocument(IDispatch* object, ComPtr<IXMLDOMDocument>& document)
{
    queryDocument(object, IID_IXMLDOMDocument, document);
    Exception::check(document->put_async(VARIANT_FALSE));
}

bool parsed(IXMLDOMDocument& document, VARIANT_BOOL loaded)
{
    if (loaded == VARIANT_FALSE)
        return false;
    // Wine's parser accepts ProhibitDTD and reads the declaration all the same.
    ComPtr<IXMLDOMDocumentType> declared;
    Exception::check(document.get_doctype(declared.out()));
    return !declared;
}

} // namespace

void ComObject::create()
{
    object.release();
    CLSID clsid;
    Exception::check(CLSIDFromProgID(L"MSXML.DOMDocument", &clsid));
    ComPtr<IDispatch> document;
    Exception::check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, document.outVoid()));
    // Held only once hardened: a document that failed half way is never handed out.
    harden(document.get());
    object.attach(document.detach());
}

bool ComObject::load(const VARIANT& source)
{
    ComPtr<IXMLDOMDocument> document;
    synchronousDocument(object.get(), document);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    Exception::check(document->load(source, &loaded));
    return parsed(*document.get(), loaded);
}

bool ComObject::loadXML(const wstring& text)
{
    ComPtr<IXMLDOMDocument> document;
    synchronousDocument(object.get(), document);
    Variant held(text);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    Exception::check(document->loadXML(held.get().bstrVal, &loaded));
    return parsed(*document.get(), loaded);
}

void ComObject::setProperty(const wchar_t* name, const Variant& value)
{
    Exception::check(putDocumentProperty(object.get(), name, value));
}

wstring clsidToString(const CLSID& clsid)
{
    MemPtr text;
    Exception::check(StringFromCLSID(clsid, text.out<wchar_t>()));
    if (!text.get<wchar_t>())
        Exception::throwInvalidArgument();
    return wstring(text.get<wchar_t>());
}

CLSID clsidFromString(const wchar_t* text)
{
    CLSID clsid;
    Exception::check(CLSIDFromString(const_cast<LPOLESTR>(text), &clsid));
    return clsid;
}
