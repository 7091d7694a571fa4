#include "foundation/Variant.h"

namespace {

BSTR allocString(const wchar_t* text)
{
    if (!text)
        Exception::throwInvalidArgument();
    BSTR copy = SysAllocString(text);
    if (!copy)
        throw Exception(ErrorCode::NoMemory);
    return copy;
}

Variant makeShort(int number)
{
    Variant value(number);
    value.changeType(VT_I2);
    return value;
}

} // namespace

const Variant ShortTrue = makeShort(-1);
const Variant ShortFalse = makeShort(0);

Variant::Variant()
{
    VariantInit(&value);
}

Variant::Variant(const wchar_t* text) : Variant()
{
    setString(text);
}

Variant::Variant(int number) : Variant()
{
    value.vt = VT_I4;
    value.lVal = number;
}

Variant::Variant(bool flag) : Variant()
{
    value.vt = VT_BOOL;
    value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

Variant::Variant(IDispatch* object) : Variant()
{
    if (object)
        object->AddRef();
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
}

Variant::Variant(const Variant& other) : Variant()
{
    Exception::check(VariantCopy(&value, const_cast<VARIANT*>(&other.value)));
}

Variant::~Variant()
{
    VariantClear(&value);
}

void Variant::clear()
{
    VariantClear(&value);
}

VARIANT* Variant::out()
{
    clear();
    return &value;
}

void Variant::setString(const wchar_t* text)
{
    BSTR copy = allocString(text);
    clear();
    value.vt = VT_BSTR;
    value.bstrVal = copy;
}

void Variant::changeType(VARTYPE type)
{
    if (value.vt == type)
        return;
    // Into a separate value first, so that a failure leaves the held one as it was.
    VARIANT changed;
    VariantInit(&changed);
    Exception::check(VariantChangeType(&changed, &value, 0, type));
    VariantClear(&value);
    value = changed;
}

LONGLONG Variant::toInt64()
{
    changeType(VT_I8);
    return value.llVal;
}

double Variant::toDouble()
{
    changeType(VT_R8);
    return value.dblVal;
}

wstring Variant::toString()
{
    changeType(VT_BSTR);
    if (!value.bstrVal)
        Exception::throwInvalidArgument();
    return wstring(value.bstrVal);
}

IDispatch* Variant::toDispatch()
{
    changeType(VT_DISPATCH);
    if (value.pdispVal)
        value.pdispVal->AddRef();
    return value.pdispVal;
}
