#include "foundation/Com.h"
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

void ComObject::create()
{
    object.release();
    CLSID clsid;
    Exception::check(CLSIDFromProgID(L"MSXML.DOMDocument", &clsid));
    IDispatch* document = nullptr;
    Exception::check(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&document)));
    object.attach(document);
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
